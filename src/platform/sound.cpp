#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <atomic>

#include "platform/view_settings.h"

namespace milka::platform {

namespace {

// Little enough buffered that a whip is heard well within the 30 ms a player takes for
// "at once", enough that a busy machine does not starve the output.
constexpr int kBufferMs = 20;
constexpr int kRetryMs = 2000;

// What the sink pulls: the mixer's next frames, whatever it asks for.
class MixerFeed final : public QIODevice {
 public:
  explicit MixerFeed(Mixer& mixer) : mixer_(mixer) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return 48000 + QIODevice::bytesAvailable(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const auto frames = static_cast<size_t>(maxSize / 2);
    mixer_.render(reinterpret_cast<int16_t*>(data), frames);
    return static_cast<qint64>(frames * 2);
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  Mixer& mixer_;
};

}  // namespace

class AudioOutput final : public QObject {
 public:
  AudioOutput(SoundBank& bank, Mixer& mixer) : bank_(bank), mixer_(mixer), feed_(mixer) {}

  // On the audio thread, once.
  void begin() {
    bank_ = synthesiseSounds();
    feed_.open(QIODevice::ReadOnly);
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
    delete retry_;
    retry_ = nullptr;
    delete devices_;
    devices_ = nullptr;
  }

  std::atomic<bool> playing_{false};

 private:
  void open() {
    close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
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
    mixer_.silence();
    sink_->start(&feed_);
    playing_ = sink_->state() != QAudio::StoppedState && sink_->error() == QAudio::NoError;
  }

  void close() {
    playing_ = false;
    if (!sink_) return;
    sink_->disconnect(this);
    sink_->stop();
    delete sink_;
    sink_ = nullptr;
  }

  SoundBank& bank_;
  Mixer& mixer_;
  MixerFeed feed_;
  QMediaDevices* devices_ = nullptr;
  QTimer* retry_ = nullptr;
  QAudioSink* sink_ = nullptr;
};

Sound::Sound(bool muted, int volume)
    : output_(new AudioOutput(bank_, mixer_)),
      muted_(muted),
      volume_(std::clamp(volume, kMinVolume, kMaxVolume)) {
  applyGain();
  output_->moveToThread(&thread_);
  thread_.setObjectName(QStringLiteral("milka-sound"));
  thread_.start();
  QMetaObject::invokeMethod(output_, [this] { output_->begin(); });
}

Sound::~Sound() {
  QMetaObject::invokeMethod(output_, [this] { output_->end(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
  delete output_;
}

void Sound::follow(const Game& game) {
  for (Cue cue : cues_.follow(game)) mixer_.play(cue);
  if (cues_.ambience() != shownAmbience_) {
    shownAmbience_ = cues_.ambience();
    mixer_.setAmbience(shownAmbience_);
  }
}

void Sound::setMuted(bool muted) {
  muted_ = muted;
  applyGain();
}

void Sound::setVolume(int volume) {
  volume_ = std::clamp(volume, kMinVolume, kMaxVolume);
  applyGain();
}

bool Sound::playing() const { return output_->playing_; }

void Sound::applyGain() {
  // Loudness is heard on a curve: equal steps of F7 and F8 should sound like equal steps.
  const float step = static_cast<float>(volume_) / static_cast<float>(kMaxVolume);
  mixer_.setGain(muted_ ? 0.0f : step * step);
}

}  // namespace milka::platform
