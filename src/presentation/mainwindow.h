#pragma once
// TForm1, the main window: borderless, its surface made of named components.
// It owns the game state through the runtime and implements the presentation
// side of a run.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPoint>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QWidget>

#include <vector>

#include "engine/runhooks.h"
#include "presentation/picturewidget.h"

namespace corvant {

struct Runtime;
struct LaunchOptions;

class AuxiliaryWindow;
class HtmlView;

class TForm1 : public QWidget, public RunHooks {
  Q_OBJECT
 public:
  enum OuterPage { PageDefault = 0, PageImagens = 1, PageAbertura = 2 };

  TForm1(Runtime& rt, const LaunchOptions& launch);
  ~TForm1() override;

  // False when start-up met a problem it cannot go on from (no configuration).
  bool startedOk() const { return startedOk_; }
  // Writes the configuration and the saved game; runs once.
  void shutdown();

  // Pages of the viewport Abok1, by the names the layout uses.
  enum ViewportPage { Page1 = 0, Page0 = 1, Page2 = 2, PageMapa = 3, Page3 = 4, PageDown = 5 };

  // The component tree. Each component carries its name as objectName too.
  QStackedWidget* Abok0 = nullptr;
  PictureWidget* Imp = nullptr;
  PictureWidget* btFim = nullptr;
  QLabel* lbFim = nullptr;
  QStackedWidget* Abok1 = nullptr;
  QWidget* PanTel = nullptr;
  PictureWidget* Tela = nullptr;
  QLabel* Legda = nullptr;
  QLabel* Sombra = nullptr;
  QWidget* Palco = nullptr;
  QWidget* Cine = nullptr;
  QWidget* moSbx = nullptr;
  QLabel* BarraTop = nullptr;
  QPlainTextEdit* MsgMd0 = nullptr;
  QWidget* WebB = nullptr;
  // The browser inside WebB, made when the HTML page is first shown.
  HtmlView* html = nullptr;
  QScrollArea* Sbc1 = nullptr;
  PictureWidget* MapJog = nullptr;
  PictureWidget* Voce = nullptr;
  QScrollArea* Sbox2 = nullptr;
  PictureWidget* Tela3 = nullptr;
  QStackedWidget* Abok2 = nullptr;
  PictureWidget* TelCmd = nullptr;
  QPlainTextEdit* Msg = nullptr;
  QLineEdit* Input = nullptr;
  QPlainTextEdit* InputReg = nullptr;
  // Hidden surfaces and stores on the page "Imagens".
  PictureWidget* TelMod3 = nullptr;
  PictureWidget* BufShp = nullptr;
  PictureWidget* GrpTmp = nullptr;
  PictureWidget* BkTel = nullptr;
  PictureWidget* Hud = nullptr;
  PictureWidget* VzrBuf = nullptr;
  QPlainTextEdit* Memo3 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QListWidget* Objs = nullptr;
  PictureWidget* TelAber = nullptr;
  QTimer* RunTimer = nullptr;

  // Off-screen bitmaps: model 1 composes the screen in screenBuffer and the
  // command panel in panelBuffer; specialBuffer is free for scripts.
  QImage screenBuffer;
  QImage panelBuffer;
  QImage specialBuffer;
  // What the viewport returns to when the map page, shown by a link, goes.
  struct MapReturn {
    bool inputVisible = false;
    int viewportHeight = 0;
  } mapReturn;
  // Windows that may travel with this one when it is dragged.
  std::vector<AuxiliaryWindow*> followers;
  CanvasStyle screenCanvas;
  CanvasStyle panelCanvas;

  // RunHooks
  void resetInputsForFreshRun() override;
  void setRunTimer(int intervalMs) override;
  void presentBuffers() override;
  void autoRelayout() override;
  void resetPresentationForFreshRun() override;
  void resetLinksForScriptSwitch() override;
  void reloadTextSettings() override;
  void refreshAfterRun() override;

  // Model "2": writes the page file and shows it.
  void completeAndShowPage();
  // An empty page in the background colour, without a file.
  void showBlankPage();

 protected:
  // The window sees keys before its controls do.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void createComponents();
  void createGamePage(QWidget* page);
  void createHiddenStores(QWidget* page);
  void runCreationSteps(const LaunchOptions& launch);
  void reportStartup(const std::string& text);
  void startDrag(QMouseEvent* e);
  void dragTo(QMouseEvent* e);
  void openingReleased(QMouseEvent* e);
  void startGame();
  void applyGameLoadLayout();
  void clearAll();

  void endApplication(int code);

  Runtime& rt_;
  bool startedOk_ = true;
  bool shutDown_ = false;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace corvant
