#include "app/program.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "media/audio.h"
#include "minigame/minigamewindow.h"
#include "network/chatwindow.h"
#include "presentation/mainwindow.h"
#include "windows/backdrop.h"
#include "windows/forms.h"
#include "windows/monitorwindow.h"

namespace corvant {

Program::Program(Host& host, const LaunchOptions& launch)
    : audio_(std::make_unique<media::AudioDevice>()), rt_(host) {
  rt_.audio = audio_.get();
  if (!launch.traceFile.isEmpty()) rt_.trace = std::make_unique<FileTraceSink>(launch.traceFile);
  form1_ = std::make_unique<TForm1>(rt_, launch);
  form10_ = std::make_unique<TForm10>(rt_);
  form14_ = std::make_unique<TForm14>();
  form15_ = std::make_unique<TForm15>();
  form16_ = std::make_unique<TForm16>();
  form17_ = std::make_unique<TForm17>();
  form1F_ = std::make_unique<TForm1F>(rt_);
  form3_ = std::make_unique<TForm3>(rt_);
  form1_->followers = {form14_.get(), form15_.get(), form16_.get(), form17_.get()};
}

Program::~Program() = default;

bool Program::startedOk() const { return form1_->startedOk(); }

void Program::show() { form1_->show(); }

void Program::clickOpeningPicture() {
  PictureWidget* target = form1_->TelAber;
  const QPointF at(1, 1);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    auto* e = new QMouseEvent(type, at, target->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::postEvent(target, e);
  }
}

void Program::shutdown() { form1_->shutdown(); }

namespace {
int quitPipe[2] = {-1, -1};
Host* quitHost = nullptr;

void onQuitSignal(int) {
  char c = 1;
  // Only async-signal-safe work here: wake the event loop.
  [[maybe_unused]] auto n = ::write(quitPipe[1], &c, 1);
}
}  // namespace

void installQuitSignals(Host& host) {
  quitHost = &host;
  if (quitPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, quitPipe) != 0) return;
  auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char c;
    [[maybe_unused]] auto n = ::read(quitPipe[0], &c, 1);
    quitHost->requestQuit(0);
  });
  struct sigaction sa {};
  sa.sa_handler = onQuitSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
}

}  // namespace corvant
