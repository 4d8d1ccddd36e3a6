#include "platform/sound/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace milka::platform {

namespace {

// Little enough queued that a whip is heard well within the 30 ms a player takes for "at
// once", enough that a busy machine does not starve the output between two top-ups.
constexpr int kBufferMs = 20;
constexpr int kTopUpMs = 10;
constexpr int kRetryMs = 2000;

QtMessageHandler passOn = nullptr;

// A game with no sound server plays in silence; the audio backend's complaints about it would
// only alarm a player starting the game from a terminal.
void quietAboutAudio(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  static const QLatin1String kPulseSays[] = {
      QLatin1String("PulseAudioService"), QLatin1String("Stream error"), QLatin1String("pa_stream"),
      QLatin1String("pa_context")};
  bool audio = context.category && qstrncmp(context.category, "qt.multimedia", 13) == 0;
  for (const QLatin1String& says : kPulseSays) audio = audio || message.contains(says);
  if (audio && type != QtFatalMsg) return;
  if (passOn) {
    passOn(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

}  // namespace

class AudioOutput final : public QObject {
 public:
  explicit AudioOutput(play::GameSound& sound) : sound_(sound) {}

  // On the audio thread, once.
  void begin() {
    sound_.synthesise();
    // The output is topped up from here rather than pulled, so the queue stays as short as
    // kBufferMs whatever period the sound server would pull at.
    topUp_ = new QTimer(this);
    topUp_->setTimerType(Qt::PreciseTimer);
    topUp_->setInterval(kTopUpMs);
    connect(topUp_, &QTimer::timeout, this, [this] { feed(); });
    devices_ = new QMediaDevices(this);
    connect(devices_, &QMediaDevices::audioOutputsChanged, this, &AudioOutput::open);
    retry_ = new QTimer(this);
    retry_->setInterval(kRetryMs);
    connect(retry_, &QTimer::timeout, this, [this] {
      if (!playing_) open();
    });
    retry_->start();
    open();
  }

  void end() {
    close();
    delete topUp_;
    topUp_ = nullptr;
    delete retry_;
    retry_ = nullptr;
    delete devices_;
    devices_ = nullptr;
  }

  // On the audio thread, from its timer: what the queue has room for. False when it had none.
  bool feed() {
    if (!playing_ || !sink_ || !into_) return false;
    const auto frames = static_cast<size_t>(sink_->bytesFree() / 2);
    if (frames == 0) return false;
    block_.resize(frames);
    sound_.render(block_.data(), frames);
    into_->write(reinterpret_cast<const char*>(block_.data()), static_cast<qint64>(frames * 2));
    return true;
  }

  // A whip is mixed as soon as the server frees the least room it hands out, a few
  // milliseconds at most, rather than at the next top-up.
  void feedForWhip(int triesLeft = 8) {
    if (feed() || triesLeft == 0) return;
    QTimer::singleShot(1, Qt::PreciseTimer, this,
                       [this, triesLeft] { feedForWhip(triesLeft - 1); });
  }

  std::atomic<bool> playing_{false};

 private:
  void open() {
    close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    QAudioFormat format;
    format.setSampleRate(play::kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return;
    sink_ = new QAudioSink(device, format, this);
    sink_->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
      // A server that went away stops the sink with an error; the retry opens it again.
      if (sink_ && state == QAudio::StoppedState && sink_->error() != QAudio::NoError)
        playing_ = false;
    });
    sound_.mixer().silence();
    into_ = sink_->start();
    playing_ = into_ != nullptr && sink_->error() == QAudio::NoError;
    if (playing_) topUp_->start();
  }

  void close() {
    playing_ = false;
    if (topUp_) topUp_->stop();
    into_ = nullptr;
    if (!sink_) return;
    sink_->disconnect(this);
    sink_->stop();
    delete sink_;
    sink_ = nullptr;
  }

  play::GameSound& sound_;
  QTimer* topUp_ = nullptr;
  QIODevice* into_ = nullptr;  // the sink's own
  std::vector<int16_t> block_;
  QMediaDevices* devices_ = nullptr;
  QTimer* retry_ = nullptr;
  QAudioSink* sink_ = nullptr;
};

Sound::Sound(bool muted, int volume) : sound_(muted, volume), output_(new AudioOutput(sound_)) {
  static const bool quiet = [] {
    passOn = qInstallMessageHandler(quietAboutAudio);
    return true;
  }();
  (void)quiet;
  output_->moveToThread(&thread_);
  thread_.setObjectName(QStringLiteral("milka-sound"));
  thread_.start();
  QMetaObject::invokeMethod(output_, [this] { output_->begin(); });
}

Sound::~Sound() {
  QMetaObject::invokeMethod(
      output_, [this] { output_->end(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
  delete output_;
}

void Sound::follow(const Game& game) {
  if (sound_.follow(game)) QMetaObject::invokeMethod(output_, [this] { output_->feedForWhip(); });
}

bool Sound::playing() const {
  return output_->playing_;
}

}  // namespace milka::platform
