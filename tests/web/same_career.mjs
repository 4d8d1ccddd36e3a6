// The same journal gives the same career in the browser's module as natively: every kept journal
// replayed in the module (under node) prints the very trace the native build prints.
//   node same_career.mjs MODULE_JS NATIVE_TRACE JOURNAL…
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname } from 'node:path';
import { pathToFileURL } from 'node:url';

const [moduleJs, nativeTrace, ...journals] = process.argv.slice(2);
// The module is made for the page; under node its loader still looks for CommonJS's names.
globalThis.__dirname = dirname(moduleJs);
globalThis.require = createRequire(import.meta.url);
const createMilka = (await import(pathToFileURL(moduleJs).href)).default;
const milka = await createMilka({ wasmBinary: readFileSync(moduleJs.replace(/\.js$/, '.wasm')) });
const native = execFileSync(nativeTrace, journals, { encoding: 'utf8' }).trim().split('\n');
let failed = 0;
journals.forEach((file, i) => {
  const bytes = readFileSync(file);
  const at = milka._malloc(bytes.length);
  milka.HEAPU8.set(bytes, at);
  const line = milka.UTF8ToString(milka._milka_trace(at, bytes.length));
  milka._free(at);
  const same = line === native[i];
  if (!same) failed++;
  console.log(`${same ? 'same' : 'DIFFERENT'} ${file}: ${line}${same ? '' : ` (native ${native[i]})`}`);
});
if (journals.length === 0 || failed > 0) process.exit(1);
