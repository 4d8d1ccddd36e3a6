#include "platform/career_keeper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <random>

#include "platform/career_notes.h"

namespace milka::platform {

namespace {

constexpr auto kSuffix = ".mdj";
// Far past any career; a bigger file is read only this far.
constexpr qint64 kReadLimit = 64 * 1024 * 1024;

}  // namespace

uint64_t CareerKeeper::freshSeed() const {
  if (fresh_) return fresh_();
  std::random_device entropy;
  return (static_cast<uint64_t>(entropy()) << 32) ^ entropy();
}

void CareerKeeper::askSiteForSeeds(std::chrono::milliseconds limit) {
  if (!seeds_) seeds_ = std::make_unique<SiteSeeds>();
  seeds_->setTimeLimit(limit);
}

CareerKeeper::CareerKeeper(QString dir, OnlinePort& outside)
    : dir_(std::move(dir)), outside_(outside) {
  flushTimer_.setInterval(journal::FileWriter::kPeriod);
  connect(&flushTimer_, &QTimer::timeout, this, [this] { submit(); });
  flushTimer_.start();
}

CareerKeeper::~CareerKeeper() {
  close();
}

CareerKeeper::Started CareerKeeper::start(std::optional<uint64_t> seed) {
  QDir().mkpath(dir_);
  if (seed) return begin(*seed, false);

  QStringList names =
      QDir(dir_).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
  if (names.isEmpty()) return begin(freshSeed(), true);
  const QString file = QDir(dir_).filePath(names.last());
  QFile in(file);
  QByteArray bytes;
  if (in.open(QIODevice::ReadOnly)) bytes = in.read(kReadLimit);
  const journal::Reading r = journal::read(std::string_view(bytes.constData(), bytes.size()));

  if (!journal::holdsCareer(r)) {
    const QString aside = setAside(file, QStringLiteral(".unreadable"));
    Started s = begin(freshSeed(), true);
    s.note = setAsideText(r, aside) + (s.note.isEmpty() ? QString() : "\n" + s.note);
    return s;
  }

  events_.clear();
  cardAt_.reset();
  lastScreen_ = 0;
  clicked_ = false;
  ++careersBegun_;
  adopt(std::make_unique<journal::Session>(r.header));
  // Nothing is recorded or sent while the journal plays itself back.
  for (const journal::Event& e : r.events) session_->feed(e);
  // A finished career is over; its journal stays for replays.
  if (session_->game().state.screenState == screen::kFinished) return begin(freshSeed(), true);

  QString note = continuedText(session_->game().state);
  if (r.status == journal::Reading::Status::Damaged) {
    // What follows the damage is kept in a copy; the journal itself goes on from before it.
    const QString copy = file + QStringLiteral(".damaged");
    QString kept = copy;
    for (int n = 2; QFileInfo::exists(kept); ++n) kept = copy + QString::number(n);
    QFile::copy(file, kept);
    note += damagedTailText(QFileInfo(kept).fileName());
  }
  path_ = file;
  writer_ = std::make_unique<journal::FileWriter>();
  if (!writer_->append(file.toStdString(), r.soundBytes)) failurePending_ = true;
  session_->startRecording(r.chain);
  session_->port().setOutside(&outside_);
  if (session_->port().siteBase != outside_.siteBase)
    session_->feed(journal::Event::siteBase(outside_.siteBase));
  checkWriter();
  return {true, note};
}

CareerKeeper::Started CareerKeeper::newHorse() {
  close();
  return begin(freshSeed(), true);
}

CareerKeeper::Started CareerKeeper::begin(uint64_t seed, bool askSite) {
  events_.clear();
  cardAt_.reset();
  lastScreen_ = 0;
  clicked_ = false;
  const uint64_t career = ++careersBegun_;
  adopt(std::make_unique<journal::Session>(journal::Session::newHeader(seed), &outside_));
  const QString stem = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-")) +
                       QString::number(seed, 16);
  path_ = QDir(dir_).filePath(stem + kSuffix);
  for (int n = 2; QFileInfo::exists(path_); ++n)
    path_ = QDir(dir_).filePath(stem + "-" + QString::number(n) + kSuffix);
  writer_ = std::make_unique<journal::FileWriter>();
  failureTold_ = failurePending_ = false;
  if (!writer_->create(path_.toStdString(), session_->startNewJournal())) failurePending_ = true;
  session_->feed(journal::Event::siteBase(outside_.siteBase));
  session_->feed(journal::Event::load());
  checkWriter();
  if (askSite && seeds_) {
    seeds_->ask(outside_.siteBase, [this, career](std::string text) {
      // Only into the career it was asked for, and only before its first click: from the first
      // choice on the draws count, and a career seeded halfway is one the site cannot vouch for.
      if (text.empty() || career != careersBegun_ || clicked_ || !session_) return;
      session_->feed(journal::Event::seed(std::move(text)));
    });
  }
  return {};
}

void CareerKeeper::adopt(std::unique_ptr<journal::Session> session) {
  retired_ = std::move(session_);
  session_ = std::move(session);
  journal::Session& s = *session_;
  s.setAfterEvent([this, &s](const journal::Event& e) {
    events_.push_back(e);
    if (e.kind == journal::Event::Kind::Click) clicked_ = true;
    const int32_t now = s.game().state.screenState;
    if (now == screen::kRaceCard && lastScreen_ != screen::kRaceCard) cardAt_ = events_.size();
    lastScreen_ = now;
    // A period's record is written as soon as it closes, so at most one period is ever lost.
    if (s.encoder() != nullptr && s.encoder()->periodEnded()) submit();
  });
}

std::string CareerKeeper::journalBytes() const {
  return session_ ? journal::encode(session_->header(), events_) : std::string();
}

std::unique_ptr<journal::Session> CareerKeeper::atLastCard() const {
  if (!cardAt_) return nullptr;
  auto s = std::make_unique<journal::Session>(session_->header());
  for (size_t i = 0; i < *cardAt_; ++i) s->feed(events_[i]);
  return s;
}

void CareerKeeper::submit() {
  journal::Encoder* enc = session_ ? session_->encoder() : nullptr;
  if (enc == nullptr || !enc->hasBytes()) return;
  std::string bytes = enc->take();
  if (writer_ && !writer_->failed()) writer_->submit(std::move(bytes));
  checkWriter();
}

void CareerKeeper::flush() {
  if (session_ && session_->encoder()) session_->encoder()->finish();
  submit();
}

void CareerKeeper::close() {
  flush();
  if (writer_) writer_->close();
}

void CareerKeeper::checkWriter() {
  if (writer_ && writer_->failed()) failurePending_ = true;
  if (!failurePending_ || failureTold_) return;
  failureTold_ = true;
  if (failed_) failed_();
}

QString CareerKeeper::takeFailureNote() {
  if (!failurePending_) return {};
  failurePending_ = false;
  return notKeptText();
}

QString CareerKeeper::setAside(const QString& file, const QString& suffix) {
  QString aside = file + suffix;
  for (int n = 2; QFileInfo::exists(aside); ++n) aside = file + suffix + QString::number(n);
  QFile::rename(file, aside);
  return QFileInfo(aside).fileName();
}

}  // namespace milka::platform
