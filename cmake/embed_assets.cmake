# The pixel-art templates and palettes in assets/, compiled into a source file so that every
# window (and the WebAssembly module, which has no files) draws its pictures from the same art.
# Run as a script: cmake -DASSETS_DIR=… -DOUTPUT=… -P embed_assets.cmake
file(GLOB assets RELATIVE "${ASSETS_DIR}" "${ASSETS_DIR}/*.txt")
list(SORT assets)
set(body "// Made from assets/ at build time; edit those files, not this one.\n")
string(APPEND body "#include \"play/assets.h\"\n\nnamespace milka::play {\n\n")
string(APPEND body "std::string_view assetText(std::string_view name) {\n")
foreach(asset IN LISTS assets)
  file(READ "${ASSETS_DIR}/${asset}" text HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${text}")
  string(LENGTH "${text}" hexLength)
  math(EXPR length "${hexLength} / 2")
  string(APPEND body "  if (name == \"${asset}\") return {\"${escaped}\", ${length}};\n")
endforeach()
string(APPEND body "  return {};\n}\n\n}  // namespace milka::play\n")
file(WRITE "${OUTPUT}.new" "${body}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
