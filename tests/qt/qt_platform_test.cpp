// The Qt drawing surface, bitmaps, clipboard, timers, cursors, printing to
// PDF, help and the small facts the window system reports.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "qt/help_window.h"
#include "qt/qpainter_canvas.h"
#include "qt/qt_text.h"
#include "qt/qt_window_system.h"
#include "qt_test_support.h"

namespace kelvaris::qt {
namespace {

using test::PixelAt;

constexpr Colour kRed = colours::Red;
constexpr Colour kWhite = colours::White;
constexpr Colour kBlack = colours::Black;

QImage WhiteImage(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  image.fill(Qt::white);
  return image;
}

struct PixelCase {
  int x, y;
  Colour expected;
  const char* reason;
};

void ExpectPixels(const QImage& image, const std::vector<PixelCase>& cases) {
  for (const PixelCase& c : cases)
    EXPECT_EQ(PixelAt(image, c.x, c.y), c.expected) << c.reason << " at (" << c.x << "," << c.y << ")";
}

// Bounding box of pixels that are not white; empty when there are none.
QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (PixelAt(image, x, y) != kWhite) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(QPainterCanvasShapes, RectangleAndFillRectCoverGdiExtents) {
  QImage image = WhiteImage(16, 12);
  {
    QPainterCanvas canvas(image);
    canvas.SetPen(Pen{kBlack});
    canvas.SetBrush(Brush{kRed});
    canvas.Rectangle({2, 2, 8, 6});
  }
  ExpectPixels(image, {
                          {2, 2, kBlack, "outline starts at left, top"},
                          {7, 5, kBlack, "outline ends at right-1, bottom-1"},
                          {7, 3, kBlack, "right edge"},
                          {3, 3, kRed, "inside has the brush colour"},
                          {6, 4, kRed, "inside, last pixel"},
                          {8, 2, kWhite, "right itself stays outside"},
                          {2, 6, kWhite, "bottom itself stays outside"},
                      });

  QImage fill = WhiteImage(16, 12);
  {
    QPainterCanvas canvas(fill);
    canvas.SetPen(Pen{kBlack});
    canvas.SetBrush(Brush{kRed});
    canvas.FillRect({2, 2, 8, 6});
    canvas.SetBrush(Brush{kBlack, BrushStyle::Clear});
    canvas.FillRect({10, 2, 14, 6});
  }
  EXPECT_EQ(InkBox(fill), QRect(QPoint(2, 2), QPoint(7, 5))) << "FillRect: brush only, [left,right) x [top,bottom)";
  EXPECT_EQ(PixelAt(fill, 2, 2), kRed) << "no outline";
}

TEST(QPainterCanvasShapes, RectangleWithoutPenIsOnePixelSmaller) {
  QImage image = WhiteImage(12, 12);
  {
    QPainterCanvas canvas(image);
    canvas.SetPen(Pen{kBlack, 1, PenStyle::Clear});
    canvas.SetBrush(Brush{kRed});
    canvas.Rectangle({2, 2, 8, 6});
  }
  EXPECT_EQ(InkBox(image), QRect(QPoint(2, 2), QPoint(6, 4)));
}

TEST(QPainterCanvasShapes, LineLeavesOutItsEndPoint) {
  QImage image = WhiteImage(20, 12);
  {
    QPainterCanvas canvas(image);
    canvas.MoveTo(2, 3);
    canvas.LineTo(10, 3);
    canvas.LineTo(10, 8);
  }
  ExpectPixels(image, {
                          {2, 3, kBlack, "start point drawn"},
                          {9, 3, kBlack, "last pixel before the end"},
                          {10, 3, kBlack, "start of the second line"},
                          {10, 7, kBlack, "second line, before its end"},
                          {10, 8, kWhite, "end point of the polyline left out"},
                          {11, 3, kWhite, "nothing past the end"},
                      });
}

TEST(QPainterCanvasShapes, NotXorDrawnTwiceRestoresTheImage) {
  QImage image = WhiteImage(20, 20);
  {
    QPainterCanvas canvas(image);
    canvas.SetBrush(Brush{kRed});
    canvas.FillRect({0, 0, 10, 20});
    const QImage before = image.copy();
    canvas.SetPen(Pen{kBlack, 1, PenStyle::Solid, PenMode::NotXor});
    canvas.SetBrush(Brush{kWhite, BrushStyle::Clear});
    auto band = [&] {
      canvas.MoveTo(2, 5);
      canvas.LineTo(18, 5);
      canvas.Rectangle({4, 8, 16, 16});
    };
    band();
    canvas.Finish();
    EXPECT_NE(image, before) << "the first pass shows";
    EXPECT_EQ(PixelAt(image, 15, 5), kBlack) << "not-xor of black on white is black";
    EXPECT_EQ(PixelAt(image, 5, 5), Rgb(0, 255, 255)) << "not-xor of black on red";
    band();
    canvas.Finish();
    EXPECT_EQ(image, before) << "the second pass erases the first";
  }
}

TEST(QPainterCanvasShapes, DottedPenLeavesGapsInTheBrushColour) {
  struct Case {
    Brush brush;
    Colour gap;
    const char* reason;
  };
  for (const Case& c : {Case{Brush{kRed}, kRed, "solid brush fills the gaps"},
                        Case{Brush{kRed, BrushStyle::Clear}, kWhite, "clear brush leaves the background"}}) {
    QImage image = WhiteImage(40, 5);
    {
      QPainterCanvas canvas(image);
      canvas.SetPen(Pen{kBlack, 1, PenStyle::Dot});
      canvas.SetBrush(c.brush);
      canvas.MoveTo(0, 2);
      canvas.LineTo(40, 2);
    }
    int ink = 0, gaps = 0;
    for (int x = 0; x < 40; ++x) {
      const Colour p = PixelAt(image, x, 2);
      ink += p == kBlack;
      gaps += p == c.gap;
    }
    EXPECT_GT(ink, 5) << c.reason;
    EXPECT_GT(gaps, 5) << c.reason;
    EXPECT_EQ(ink + gaps, 40) << c.reason;
    EXPECT_EQ(PixelAt(image, 5, 1), kWhite) << "nothing off the line";
  }
}

TEST(QPainterCanvasShapes, ClipLimitsDrawingUntilRemoved) {
  QImage image = WhiteImage(20, 20);
  {
    QPainterCanvas canvas(image);
    canvas.SetBrush(Brush{kRed});
    canvas.SetClip({5, 5, 10, 10});
    canvas.FillRect({0, 0, 20, 20});
    canvas.Finish();
    EXPECT_EQ(InkBox(image), QRect(QPoint(5, 5), QPoint(9, 9)));
    canvas.RemoveClip();
    canvas.SetBrush(Brush{kBlack});
    canvas.FillRect({0, 0, 2, 2});
  }
  EXPECT_EQ(PixelAt(image, 0, 0), kBlack);
}

TEST(QPainterCanvasShapes, EllipseAndPolygonStayInsideTheirBounds) {
  QImage image = WhiteImage(30, 30);
  {
    QPainterCanvas canvas(image);
    canvas.SetBrush(Brush{kRed});
    canvas.Ellipse({2, 2, 12, 12});
  }
  EXPECT_EQ(InkBox(image), QRect(QPoint(2, 2), QPoint(11, 11)));
  EXPECT_EQ(PixelAt(image, 7, 7), kRed);

  QImage poly = WhiteImage(30, 30);
  {
    QPainterCanvas canvas(poly);
    canvas.SetBrush(Brush{kRed});
    canvas.Polygon({{5, 5}, {25, 5}, {15, 25}});
  }
  EXPECT_EQ(PixelAt(poly, 15, 10), kRed) << "filled";
  EXPECT_EQ(PixelAt(poly, 15, 5), kBlack) << "closed: the edge back to the start is drawn";
  EXPECT_TRUE(QRect(5, 5, 21, 21).contains(InkBox(poly)));
}

TEST(QPainterCanvasText, TextOutPlacesTheTopLeftCorner) {
  QImage image = WhiteImage(120, 60);
  int w = 0, h = 0;
  {
    QPainterCanvas canvas(image);
    canvas.SetBrush(Brush{kWhite, BrushStyle::Clear});
    canvas.SetFont(Font{"Arial", 12});
    w = canvas.TextWidth("Hg");
    h = canvas.TextHeight("Hg");
    canvas.TextOut(10, 20, "Hg");
  }
  const QRect ink = InkBox(image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.top(), 20) << "the text hangs below y";
  EXPECT_LE(ink.bottom(), 20 + h);
  EXPECT_GE(ink.left(), 10);
  EXPECT_LE(ink.right(), 10 + w);
  EXPECT_GT(ink.height(), h / 2) << "capital and descender span most of the height";
}

TEST(QPainterCanvasText, SolidBrushPaintsBehindTheText) {
  QImage image = WhiteImage(120, 60);
  int w = 0, h = 0;
  {
    QPainterCanvas canvas(image);
    canvas.SetBrush(Brush{kRed});
    canvas.SetFont(Font{"Arial", 10, 0, colours::Blue});
    w = canvas.TextWidth("Ab");
    h = canvas.TextHeight("Ab");
    canvas.TextOut(10, 20, "Ab");
  }
  EXPECT_EQ(InkBox(image), QRect(10, 20, w, h));
  EXPECT_EQ(PixelAt(image, 10, 20), kRed);
  EXPECT_EQ(PixelAt(image, 10 + w - 1, 20 + h - 1), kRed);
}

TEST(QPainterCanvasText, AngleTurnsTextCounterClockwiseAboutItsCorner) {
  QImage image = WhiteImage(120, 120);
  int w = 0, h = 0;
  {
    QPainterCanvas canvas(image);
    canvas.SetBrush(Brush{kWhite, BrushStyle::Clear});
    Font font{"Arial", 12};
    font.angle = 900;
    canvas.SetFont(font);
    w = canvas.TextWidth("Kelvaris");
    h = canvas.TextHeight("Kelvaris");
    canvas.TextOut(40, 100, "Kelvaris");
  }
  const QRect ink = InkBox(image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 40) << "the top of the letters faces left, so they lie right of x";
  EXPECT_LE(ink.right(), 40 + h);
  EXPECT_LE(ink.bottom(), 100) << "the text reads upwards from y";
  EXPECT_GE(ink.top(), 100 - w - 1);
  EXPECT_GT(ink.height(), ink.width());
}

TEST(QPainterCanvasText, MeasuresFollowSizeHeightStyleAndResolution) {
  QImage screen = WhiteImage(10, 10);
  QImage print(10, 10, QImage::Format_RGB32);
  print.setDotsPerMeterX(11811);  // 300 dpi
  print.setDotsPerMeterY(11811);
  QPainterCanvas atScreen(screen);
  QPainterCanvas atPrinter(print);
  EXPECT_EQ(atScreen.DotsPerInch(), 96);
  EXPECT_EQ(atPrinter.DotsPerInch(), 300);

  Font regular{"Arial", 10};
  Font bold = regular;
  bold.style = fsBold;
  Font pixels = regular;
  pixels.height = -40;

  atScreen.SetFont(regular);
  atPrinter.SetFont(regular);
  const int screenHeight = atScreen.TextHeight("0");
  const int regularWidth = atScreen.TextWidth("Kinetics");
  EXPECT_NEAR(atPrinter.TextHeight("0"), screenHeight * 300.0 / 96.0, 3) << "points scale with the device";
  EXPECT_EQ(screenHeight, QFontMetrics(ToQFont(regular), &screen).height());

  atScreen.SetFont(bold);
  EXPECT_GT(atScreen.TextWidth("Kinetics"), regularWidth);
  atScreen.SetFont(pixels);
  EXPECT_GE(atScreen.TextHeight("0"), 40) << "height in pixels, whatever the resolution";
  atPrinter.SetFont(pixels);
  EXPECT_EQ(atPrinter.TextHeight("0"), atScreen.TextHeight("0"));
  EXPECT_EQ(atScreen.TextWidth(""), 0);
}

TEST(QPainterCanvasText, ArialResolvesToAnInstalledFace) {
  EXPECT_EQ(QFontInfo(ToQFont(Font{})).family(), QStringLiteral("Liberation Sans"));
}

TEST(QtBitmapTest, StartsWhiteAndCopiesOntoAnotherSurface) {
  QImage target = WhiteImage(30, 30);
  QPainterCanvas canvas(target);
  std::unique_ptr<Bitmap> bitmap = canvas.CreateBitmap(6, 4);
  ASSERT_EQ(bitmap->Width(), 6);
  ASSERT_EQ(bitmap->Height(), 4);
  const QImage fresh = ToQImage(*bitmap);
  EXPECT_EQ(InkBox(fresh), QRect()) << "a new bitmap is white";
  EXPECT_EQ(bitmap->Surface().DotsPerInch(), 96);

  bitmap->Surface().SetBrush(Brush{kRed});
  bitmap->Surface().FillRect({0, 0, 6, 4});
  bitmap->Surface().SetBrush(Brush{kBlack});
  bitmap->Surface().FillRect({0, 0, 1, 1});
  canvas.DrawBitmap(10, 20, *bitmap);
  canvas.Finish();
  EXPECT_EQ(InkBox(target), QRect(10, 20, 6, 4));
  EXPECT_EQ(PixelAt(target, 10, 20), kBlack);
  EXPECT_EQ(PixelAt(target, 15, 23), kRed);
}

TEST(QtBitmapTest, ReadingTheImageKeepsTheSurfaceState) {
  QtBitmap bitmap(20, 20);
  Canvas& surface = bitmap.Surface();
  surface.SetBrush(Brush{kRed});
  surface.SetClip({5, 5, 10, 10});
  surface.FillRect({0, 0, 20, 20});
  EXPECT_EQ(InkBox(bitmap.Image()), QRect(5, 5, 5, 5));
  surface.SetBrush(Brush{kBlack});
  surface.FillRect({0, 0, 20, 20});
  const QImage after = bitmap.Image();
  EXPECT_EQ(InkBox(after), QRect(5, 5, 5, 5)) << "the clip still holds after the image was read";
  EXPECT_EQ(PixelAt(after, 7, 7), kBlack);
  EXPECT_EQ(surface.GetBrush(), (Brush{kBlack}));
}

TEST(QtBitmapTest, EmptyBitmapsAndMissingResourcesDrawNothing) {
  QImage target = WhiteImage(20, 20);
  QPainterCanvas canvas(target);
  QtBitmap empty(0, 0);
  empty.Surface().FillRect({0, 0, 5, 5});
  empty.Surface().TextOut(0, 0, "x");
  canvas.DrawBitmap(0, 0, empty);
  canvas.DrawResource(0, 0, "NO_SUCH_PICTURE");
  canvas.Finish();
  EXPECT_EQ(InkBox(target), QRect());
}

TEST(QtTextTest, ProgramTextRoundTripsThroughQString) {
  struct Case {
    std::string bytes;
    QString shown;
  };
  for (const Case& c : {Case{"Load data", QStringLiteral("Load data")},
                        Case{"10 \xB5M", QString::fromUtf8("10 \u00B5M")},        // single-byte micro sign
                        Case{"caf\xE9", QString::fromUtf8("caf\u00E9")}}) {   // Latin-1
    EXPECT_EQ(ToQString(c.bytes), c.shown) << c.bytes;
    EXPECT_EQ(FromQString(c.shown), c.bytes) << c.bytes;
  }
  EXPECT_EQ(ToQString("10 \xC2\xB5M"), QString::fromUtf8("10 \u00B5M")) << "UTF-8 literals show as such";
  EXPECT_EQ(FromQString(QString::fromUtf8("\u03B1")), "\xCE\xB1") << "beyond Latin-1: UTF-8";
}

// --- window system ---

TEST(QtWindowSystemClipboard, TextRoundTripsByteForByte) {
  QtWindowSystem ws;
  std::string bytes = "Time\tResponse\n1.5\t\xB5M\r\n\xE9\xFF end";
  bytes.push_back('\x01');
  ws.SetClipboardText(bytes);
  EXPECT_TRUE(ws.HasClipboardText());
  EXPECT_EQ(ws.ClipboardText(), bytes);
}

TEST(QtWindowSystemClipboard, BitmapGoesAsAPicture) {
  QtWindowSystem ws;
  QtBitmap bitmap(12, 7);
  bitmap.Surface().SetBrush(Brush{kRed});
  bitmap.Surface().FillRect({0, 0, 3, 3});
  ws.SetClipboardBitmap(bitmap);
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_EQ(image.size(), QSize(12, 7));
  EXPECT_EQ(PixelAt(image, 1, 1), kRed);
  EXPECT_EQ(PixelAt(image, 5, 5), kWhite);
}

TEST(QtTimerTest, TicksOnceAfterItsInterval) {
  QtWindowSystem ws;
  std::unique_ptr<Timer> timer = ws.CreateTimer();
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetInterval(40);
  EXPECT_EQ(timer->Interval(), 40);
  timer->Start();
  EXPECT_TRUE(timer->Active());
  EXPECT_EQ(ticks, 0) << "not at once";
  EXPECT_TRUE(test::WaitFor([&] { return ticks > 0; }));
  EXPECT_FALSE(timer->Active());
  QTest::qWait(120);
  EXPECT_EQ(ticks, 1) << "one shot";
}

TEST(QtTimerTest, StopRestartAndDestroyFromTheHandler) {
  QtWindowSystem ws;
  std::unique_ptr<Timer> stopped = ws.CreateTimer();
  int stoppedTicks = 0;
  stopped->OnTimer = [&] { ++stoppedTicks; };
  stopped->SetInterval(10);
  stopped->Start();
  stopped->Stop();

  std::unique_ptr<Timer> repeating = ws.CreateTimer();
  int repeats = 0;
  repeating->SetInterval(10);
  repeating->OnTimer = [&] {
    if (++repeats < 3) repeating->Start();
  };
  repeating->Start();

  std::unique_ptr<Timer> selfDestroying = ws.CreateTimer();
  bool destroyedTick = false;
  selfDestroying->SetInterval(10);
  selfDestroying->OnTimer = [&] {
    destroyedTick = true;
    selfDestroying.reset();
  };
  selfDestroying->Start();

  EXPECT_TRUE(test::WaitFor([&] { return repeats == 3 && destroyedTick; }));
  QTest::qWait(60);
  EXPECT_EQ(repeats, 3);
  EXPECT_EQ(stoppedTicks, 0);
  EXPECT_EQ(selfDestroying, nullptr);
}

TEST(QtWindowSystemCursor, ShapesMapAndDefaultRestores) {
  struct Case {
    int shape;
    Qt::CursorShape qt;
  };
  for (const Case& c : {Case{crHourGlass, Qt::WaitCursor}, Case{crCross, Qt::CrossCursor},
                        Case{crSizeWE, Qt::SizeHorCursor}, Case{crHandPoint, Qt::PointingHandCursor},
                        Case{crStageFirst, Qt::BusyCursor}, Case{crStageLast, Qt::BusyCursor}})
    EXPECT_EQ(CursorFor(c.shape), c.qt) << c.shape;

  QtWindowSystem ws;
  ws.SetCursor(crHourGlass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ws.SetCursor(crStageFirst + 3);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
  EXPECT_EQ(ws.Cursor(), crStageFirst + 3);
  ws.SetCursor(crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "one restore undoes any number of changes";
  ws.SetCursor(crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtWindowSystemMessages, ButtonsIconsAndAnswers) {
  QtWindowSystem ws;
  struct Case {
    MsgButtons buttons;
    MsgIcon icon;
    QMessageBox::StandardButton press;  // NoButton: Escape
    QMessageBox::Icon shownIcon;
    MsgResult expected;
  };
  const Case cases[] = {
      {MsgButtons::YesNo, MsgIcon::Question, QMessageBox::Yes, QMessageBox::Question, MsgResult::Yes},
      {MsgButtons::YesNo, MsgIcon::Question, QMessageBox::No, QMessageBox::Question, MsgResult::No},
      {MsgButtons::YesNo, MsgIcon::None, QMessageBox::NoButton, QMessageBox::NoIcon, MsgResult::No},
      {MsgButtons::Ok, MsgIcon::Warning, QMessageBox::Ok, QMessageBox::Warning, MsgResult::Ok},
  };
  for (const Case& c : cases) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    test::WhenShown<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      if (c.press == QMessageBox::NoButton)
        QTest::keyClick(box, Qt::Key_Escape);
      else
        box->button(c.press)->click();
    });
    EXPECT_EQ(ws.MessageBox("Exit Kelvaris?", "Close", c.buttons, c.icon), c.expected);
    EXPECT_EQ(title, QStringLiteral("Close"));
    EXPECT_EQ(text, QStringLiteral("Exit Kelvaris?"));
    EXPECT_EQ(icon, c.shownIcon);
  }
}

TEST(QtWindowSystemPrint, PdfJobWritesEveryPage) {
  QTemporaryDir dir;
  const std::string path = PathFromQString(dir.filePath(QStringLiteral("report.pdf")));
  QtWindowSystem ws;
  std::unique_ptr<PrintJob> job = ws.BeginPrint(PrintRequest{"Report", path, true});
  ASSERT_NE(job, nullptr) << "no dialog for a PDF";
  EXPECT_EQ(job->DotsPerInch(), 300);
  EXPECT_NEAR(job->PageWidth(), 2480, 2) << "A4 at 300 dpi";
  EXPECT_NEAR(job->PageHeight(), 3508, 2);
  job->Page().SetBrush(Brush{kRed});
  job->Page().Rectangle({100, 100, 1000, 500});
  job->Page().TextOut(100, 600, "Page 1");
  job->NewPage();
  job->Page().TextOut(100, 100, "Page 2");
  EXPECT_TRUE(job->End());

  QFile file(PathToQString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray pdf = file.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2)
      << "two pages";

  EXPECT_EQ(ws.BeginPrint(PrintRequest{"Report", "/no/such/folder/x.pdf", false}), nullptr);
}

TEST(QtWindowSystemHelp, ShowsTopicsInOneWindowAndClosesIt) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("analysis_pages/zero_page"));
  QFile topic(dir.filePath(QStringLiteral("analysis_pages/zero_page/zero_page.htm")));
  ASSERT_TRUE(topic.open(QIODevice::WriteOnly));
  topic.write("<html><body><h1>Zero page</h1><a name=\"window\">Window</a></body></html>");
  topic.close();

  HelpWindow help;
  help.ShowTopic(dir.path(), "analysis_pages/zero_page/zero_page.htm#window");
  EXPECT_TRUE(help.isVisible());
  EXPECT_TRUE(help.Browser()->toPlainText().contains(QStringLiteral("Zero page")));
  EXPECT_EQ(help.Browser()->source().fileName(), QStringLiteral("zero_page.htm"));
  help.ShowTopic(dir.path(), "analysis_pages/missing.htm");
  EXPECT_EQ(help.Browser()->toPlainText(), QStringLiteral("Help topic not found: analysis_pages/missing.htm"));

  QtWindowSystem ws;
  ws.ShowHelp("Kelvaris2.chm", "contents/no_such_topic.htm");
  HelpWindow* first = ws.Help();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_TRUE(first->Browser()->toPlainText().startsWith(QStringLiteral("Help topic not found: ")));
  ws.ShowHelp("Kelvaris2.chm", "contents/contents.htm");
  EXPECT_EQ(ws.Help(), first) << "one window, reused";
  ws.CloseHelp();
  EXPECT_FALSE(first->isVisible());
}

TEST(QtWindowSystemFiles, FoldersFilesAndSeparator) {
  QtWindowSystem ws;
  EXPECT_EQ(ws.ProgramFolder(), PathFromQString(QCoreApplication::applicationDirPath()) + "/");

  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("run.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  const std::string folder = PathFromQString(dir.path());
  EXPECT_TRUE(ws.FileExists(folder + "/run.txt"));
  EXPECT_FALSE(ws.FileExists(folder + "/other.txt"));
  EXPECT_FALSE(ws.FileExists(folder)) << "a folder is not a file";

  const std::string before = ws.CurrentFolder();
  ws.SetCurrentFolder(folder);
  EXPECT_EQ(QFileInfo(PathToQString(ws.CurrentFolder())).canonicalFilePath(),
            QFileInfo(dir.path()).canonicalFilePath());
  ws.SetCurrentFolder(before);
  EXPECT_EQ(ws.CurrentFolder(), before);

  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(ws.DecimalSeparator(), ',');
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(ws.DecimalSeparator(), '.');
  QLocale::setDefault(saved);
}

}  // namespace
}  // namespace kelvaris::qt
