#include "presentation/mainwindow.h"

#include "presentation/clicksound.h"
#include "presentation/htmlpage.h"
#include "presentation/htmlview.h"
#include "presentation/layout.h"
#include "presentation/linkinput.h"
#include "presentation/overlay.h"
#include "presentation/pictures.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QSaveFile>
#include <QScrollBar>
#include <QWheelEvent>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

#include "engine/driver.h"
#include "engine/guard.h"
#include "engine/linesyntax.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "imaging/picture.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "runtime/savedgame.h"
#include "runtime/startup.h"
#include "text/cp1252.h"
#include "windows/forms.h"
#include "windows/monitorwindow.h"
#include "world/keys.h"

namespace corvant {

TForm1::TForm1(Runtime& rt, const LaunchOptions& launch) : QWidget(nullptr, Qt::FramelessWindowHint), rt_(rt) {
  setObjectName(QStringLiteral("TForm1"));
  createComponents();
  new LinkInput(rt_, *this);
  rt_.hooks = this;
  rt_.form1 = this;
  runCreationSteps(launch);
}

TForm1::~TForm1() {
  if (rt_.hooks == this) rt_.detachHooks();
  if (rt_.form1 == this) rt_.form1 = nullptr;
}

void TForm1::createComponents() {
  resize(900, 420);
  Abok0 = new QStackedWidget(this);
  Abok0->setObjectName(QStringLiteral("Abok0"));
  Abok0->setGeometry(0, 0, 900, 420);
  const char* pages[] = {"Default", "Imagens", "Abertura"};
  for (const char* name : pages) {
    auto* page = new QWidget(Abok0);
    page->setObjectName(QString::fromLatin1(name));
    Abok0->addWidget(page);
  }
  createGamePage(Abok0->widget(PageDefault));
  createHiddenStores(Abok0->widget(PageImagens));
  TelAber = new PictureWidget(QStringLiteral("TelAber"), Abok0->widget(PageAbertura));
  TelAber->setGeometry(0, 0, 900, 420);
  connect(TelAber, &PictureWidget::pressed, this, &TForm1::startDrag);
  connect(TelAber, &PictureWidget::moved, this, &TForm1::dragTo);
  connect(TelAber, &PictureWidget::released, this, &TForm1::openingReleased);
  // The window is dragged by its background, except over a link there.
  connect(Imp, &PictureWidget::pressed, this, [this](QMouseEvent* e) {
    if (rt_.state.links.hovered < 0) startDrag(e);
  });
  connect(Imp, &PictureWidget::moved, this, [this](QMouseEvent* e) {
    if (rt_.state.links.hovered < 0) dragTo(e);
  });
  connect(Imp, &PictureWidget::released, this, [this](QMouseEvent*) { dragging_ = false; });
  // The end button: pressed and normal pictures, then the program ends.
  connect(btFim, &PictureWidget::pressed, this, [this](QMouseEvent*) {
    runGuarded(rt_, [this] { loadPicture(rt_, "D-" + rt_.state.config.at(66), Surface::BtFim); });
    playClickSound(rt_, "clk0a.wav");
  });
  connect(btFim, &PictureWidget::released, this, [this](QMouseEvent*) {
    runGuarded(rt_, [this] { loadPicture(rt_, "U-" + rt_.state.config.at(66), Surface::BtFim); });
    playClickSound(rt_, "clk0b.wav");
    rt_.pumpEvents();
    rt_.host.sleepMs(200);
    endApplication(0);
  });

  qApp->installEventFilter(this);
  RunTimer = new QTimer(this);
  RunTimer->setObjectName(QStringLiteral("RunTimer"));
  connect(RunTimer, &QTimer::timeout, this, [this] { runGuarded(rt_, [this] { runTimerTick(rt_); }); });
}

namespace {

template <typename T>
T* named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

// The game page: the window background, the viewport with its six pages,
// the command panel, the message strip, the command line and the input box.
// Sizes are the defaults before a game's layout is applied.
void TForm1::createGamePage(QWidget* page) {
  Imp = new PictureWidget(QStringLiteral("Imp"), page);
  Imp->setGeometry(0, 0, 900, 420);
  btFim = new PictureWidget(QStringLiteral("btFim"), page);
  lbFim = named(new QLabel(QStringLiteral("Encerrar"), page), "lbFim");

  Abok1 = named(new QStackedWidget(page), "Abok1");
  const char* viewportPages[] = {"1", "0", "2", "Mapa", "3", "Down"};
  for (const char* name : viewportPages) Abok1->addWidget(named(new QWidget(Abok1), name));

  QWidget* page1 = Abok1->widget(Page1);
  PanTel = named(new QWidget(page1), "PanTel");
  Tela = new PictureWidget(QStringLiteral("Tela"), PanTel);
  Tela->setStretch(true);
  Sombra = named(new QLabel(PanTel), "Sombra");
  Legda = named(new QLabel(PanTel), "Legda");
  Palco = named(new QWidget(PanTel), "Palco");
  Cine = named(new QWidget(Palco), "Cine");
  Palco->hide();
  moSbx = named(new QWidget(page1), "moSbx");
  moSbx->hide();

  QWidget* page0 = Abok1->widget(Page0);
  BarraTop = named(new QLabel(page0), "BarraTop");
  MsgMd0 = named(new QPlainTextEdit(page0), "MsgMd0");

  WebB = named(new QWidget(Abok1->widget(Page2)), "WebB");
  html = new HtmlView(rt_, WebB);

  Sbc1 = named(new QScrollArea(Abok1->widget(PageMapa)), "Sbc1");
  MapJog = new PictureWidget(QStringLiteral("MapJog"));
  Sbc1->setWidget(MapJog);
  Voce = new PictureWidget(QStringLiteral("Voce"), MapJog);

  Sbox2 = named(new QScrollArea(Abok1->widget(Page3)), "Sbox2");
  Tela3 = new PictureWidget(QStringLiteral("Tela3"));
  Sbox2->setWidget(Tela3);

  Abok2 = named(new QStackedWidget(page), "Abok2");
  TelCmd = new PictureWidget(QStringLiteral("TelCmd"));
  Abok2->addWidget(TelCmd);

  Msg = named(new QPlainTextEdit(page), "Msg");
  Msg->setReadOnly(true);
  Input = named(new QLineEdit(page), "Input");
  InputReg = named(new QPlainTextEdit(page), "InputReg");
  // The layout of a loaded game decides what shows; until then only the
  // window background does.
  for (QWidget* w : std::initializer_list<QWidget*>{btFim, lbFim, Abok1, Abok2, Msg, Input, InputReg}) w->hide();
}

// Pictures and stores that are never shown: they live on the page "Imagens".
void TForm1::createHiddenStores(QWidget* page) {
  TelMod3 = new PictureWidget(QStringLiteral("TelMod3"), page);
  BufShp = new PictureWidget(QStringLiteral("BufShp"), page);
  GrpTmp = new PictureWidget(QStringLiteral("GrpTmp"), page);
  BkTel = new PictureWidget(QStringLiteral("BkTel"), page);
  Hud = new PictureWidget(QStringLiteral("Hud"), page);
  VzrBuf = new PictureWidget(QStringLiteral("VzrBuf"), page);
  Memo3 = named(new QPlainTextEdit(page), "Memo3");
  Memo3->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1 = named(new QPlainTextEdit(page), "Memo1");
  Objs = named(new QListWidget(page), "Objs");
}

void TForm1::reportStartup(const std::string& text) { rt_.host.showError(text); }

void TForm1::runCreationSteps(const LaunchOptions& launch) {
  GameState& s = rt_.state;
  s.paths.commandArg = text::fromQString(launch.commandArg);
  s.paths.gameFolder = launch.gameFolder;
  s.paths.machineId = machineIdentifier(launch.gameFolder);
  s.paths.gameName = text::fromQString(launch.gameName);

  std::vector<StartupMessage> messages = readConfiguration(s);
  if (!messages.empty() && messages.front().fatal) {
    reportStartup(messages.front().text);
    startedOk_ = false;
    return;
  }
  const WindowSize size = configuredWindowSize(s, messages);
  for (const auto& m : messages) reportStartup(m.text);

  Abok0->setCurrentIndex(PageDefault);
  resize(size.width, size.height);
  Abok0->setGeometry(0, 0, size.width, size.height);
  Imp->setGeometry(0, 0, size.width, size.height);
  TelAber->setGeometry(0, 0, size.width, size.height);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  rt_.pumpEvents();

  const std::string& opening = s.config.at(cfg::kOpeningPicture);
  if (!opening.empty()) {
    try {
      loadPicture(rt_, opening, Surface::TelAber);
    } catch (const std::exception& e) {
      reportStartup("The picture " + opening + " cannot be shown: " + e.what());
    }
  }
  TelAber->setEnabled(true);
  Abok0->setCurrentIndex(PageAbertura);
  std::srand(static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch()));
}

void TForm1::applyGameLoadLayout() {
  const std::vector<std::string> problems = applyLayoutAtGameLoad(rt_, *this);
  if (problems.empty()) return;
  std::string message = "Some layout values of " +
                        files::display(files::join(rt_.state.paths.gameFolder, rt_.state.paths.gameName + ".ini")) +
                        " do not convert; defaults are used instead:";
  for (const auto& p : problems) message += "\n  " + p;
  reportStartup(message);
}

// Every surface starts the game empty, in the background colour.
void TForm1::clearAll() {
  MsgMd0->clear();
  Input->clear();
  Msg->clear();
  const QColor background = backgroundColour(rt_);
  Tela->picture().fill(background);
  Tela->update();
  screenBuffer.fill(background);
  TelMod3->picture().fill(background);
  Tela3->setPicture(TelMod3->picture());
  TelCmd->picture().fill(background);
  TelCmd->update();
  rt_.pumpEvents();
}

void TForm1::resetPresentationForFreshRun() {
  TextSettings& t = rt_.state.text;
  t.lineHeight = t.underlineOffset = 0;
  t.linkLineSize = 1;
  rt_.state.clickScript.clear();
  rt_.state.links.reset();
  Tela->setCursor(Qt::ArrowCursor);
}

void TForm1::resetLinksForScriptSwitch() { resetPresentationForFreshRun(); }

// Each fresh run starts from the configured text settings (the link colours
// stay as scripts set them); the HTML page starts again from its header.
void TForm1::reloadTextSettings() {
  GameState& s = rt_.state;
  loadTextSettings(rt_, LinkColours::Keep);
  clearSubtitles(rt_);
  if (Abok1->currentIndex() == Page2) html::rebuildPage(s);
}

void TForm1::refreshAfterRun() {
  const std::string& model = rt_.state.modelo;
  if ((model == "0" || model == "1") && Input->isVisible()) Input->setFocus();
  if (Abok1->currentIndex() == PageMapa) MapJog->update();
  // A run that added nothing to the page (a timer tick, say) leaves the
  // shown page as it is instead of closing it again.
  if (model == "2" && !rt_.state.pageBuffer.empty() && html::pageChangedSinceCompleted(rt_.state))
    completeAndShowPage();
}

void TForm1::completeAndShowPage() {
  GameState& s = rt_.state;
  html::completePage(s);
  const QString path = files::join(s.paths.gameFolder, "tmp.htm");
  const std::string page = html::pageFileText(s);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(page.data(), static_cast<qint64>(page.size())) < 0 ||
      !file.commit()) {
    throw ScriptError("Cannot write the page file " + files::display(path) + ": " +
                      text::fromQString(file.errorString()));
  }
  html->showFile(path);
  rt_.pumpEvents();
}

void TForm1::showBlankPage() { html->showHtml(html::blankPage(rt_.state, rt_.state.text.backgroundColour)); }

void TForm1::autoRelayout() { corvant::autoRelayout(rt_, *this); }

void TForm1::presentBuffers() {
  stampOverlayForPresent(rt_);
  const std::string& model = rt_.state.modelo;
  if (model == "1") Tela->setPicture(screenBuffer);
  if (model == "4" && rt_.monitor) rt_.monitor->Monitor->setPicture(rt_.monitor->monitorBuffer);
  if (Abok2->isVisible()) TelCmd->setPicture(panelBuffer);
  if (model == "3") {
    if (Tela3->size() != TelMod3->picture().size()) Tela3->resize(TelMod3->picture().size());
    Tela3->setPicture(TelMod3->picture());
  }
}

void TForm1::startDrag(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  dragging_ = true;
  dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TForm1::dragTo(QMouseEvent* e) {
  if (!dragging_ || !(e->buttons() & Qt::LeftButton)) return;
  const QPoint before = pos();
  move(e->globalPosition().toPoint() - dragOffset_);
  const QPoint delta = pos() - before;
  for (AuxiliaryWindow* w : followers) {
    if (w->followsMainWindow()) w->move(w->pos() + delta);
  }
}

void TForm1::openingReleased(QMouseEvent* e) {
  dragging_ = false;
  if (e->modifiers() & Qt::ControlModifier) return;
  runGuarded(rt_, [this] { startGame(); });
}

void TForm1::startGame() {
  GameState& s = rt_.state;
  if (s.saveName().empty() || s.gameLoaded) return;
  // Before the first load the adventure folder is empty: the working directory.
  if (!scriptExists(s, "start")) {
    std::fprintf(stderr, "corvant: no start.scp or start.scx in the working directory; ending.\n");
    rt_.pumpEvents();
    rt_.host.sleepMs(200);
    endApplication(0);
    return;
  }
  hide();
  rt_.pumpEvents();
  const std::string error = loadGame(s, s.saveName());
  if (!error.empty()) {
    s.loadFailed = true;
    rt_.host.showError(error + "\n\nThe game cannot start; nothing was saved, so the files on disk are unchanged.");
    endApplication(1);
    return;
  }
  RunTimer->stop();
  applyGameLoadLayout();
  clearAll();
  Abok0->setCurrentIndex(PageDefault);
  Abok1->setCurrentIndex(Page1);
  Abok2->setCurrentIndex(0);
  rt_.pumpEvents();

  s.script = s.iniScp;
  applyScreenModel(rt_, *this, s.config.at(cfg::kScreenModel));
  if (s.script.empty()) s.script = "start";
  runGuarded(rt_, [this] { freshRun(rt_, rt_.state.script); });
  rt_.pumpEvents();
  repaint();
  show();
  rt_.pumpEvents();
}

void TForm1::endApplication(int code) { rt_.host.requestQuit(code); }

void TForm1::resetInputsForFreshRun() { Abok0->setCurrentIndex(PageDefault); }

void TForm1::setRunTimer(int intervalMs) {
  if (intervalMs <= 0) return RunTimer->stop();
  RunTimer->start(intervalMs);
}

// The held key is what `stop` and `inkey` read: recorded at every press and
// cleared at every release, whichever control has the focus.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // Every event of the application passes here: look at the type first.
  const QEvent::Type type = event->type();
  // The wheel over the scrolling screen moves it by the wheel's own
  // distance, wherever inside the box the pointer is.
  if (type == QEvent::Wheel && watched->isWidgetType() && Sbox2->isAncestorOf(static_cast<QWidget*>(watched))) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    QScrollBar* bar = Sbox2->verticalScrollBar();
    bar->setValue(bar->value() - wheel->angleDelta().y());
    return true;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return QWidget::eventFilter(watched, event);
  auto* w = qobject_cast<QWidget*>(watched);
  if (w && w->window() == this) {
    if (type == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (!k->isAutoRepeat() || rt_.state.heldKey == 0) rt_.state.heldKey = virtualKeyCode(k->key());
    } else if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
      rt_.state.heldKey = 0;
    }
  }
  return QWidget::eventFilter(watched, event);
}



void TForm1::closeEvent(QCloseEvent* e) {
  e->accept();
  endApplication(0);
}

void TForm1::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  WindowGeometry g{x(), y(), Abok0->width(), Abok0->height()};
  for (const auto& err : shutdownSave(rt_.state, g)) rt_.host.showError(err);
}

}  // namespace corvant
