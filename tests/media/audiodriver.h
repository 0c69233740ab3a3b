#pragma once
// Chooses the SDL audio driver for the sound tests.
#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace corvant::test {

// Sets SDL_AUDIODRIVER for as long as it lives; SDL reads it each time audio
// is initialised, so a device opened inside the scope uses that driver.
class AudioDriver {
 public:
  explicit AudioDriver(const char* name) {
    if (qEnvironmentVariableIsSet(kVariable)) previous_ = qgetenv(kVariable);
    qputenv(kVariable, name);
  }
  ~AudioDriver() {
    if (previous_) qputenv(kVariable, *previous_);
    else qunsetenv(kVariable);
  }
  AudioDriver(const AudioDriver&) = delete;
  AudioDriver& operator=(const AudioDriver&) = delete;

 private:
  static constexpr const char* kVariable = "SDL_AUDIODRIVER";
  std::optional<QByteArray> previous_;
};

}  // namespace corvant::test
