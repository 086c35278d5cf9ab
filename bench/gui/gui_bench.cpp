// The designer's own costs, on the offscreen platform: a repaint of a busy page, and start-up to
// the first painted window with the memory it then holds. Counters named vs_* are the measured
// time over its target (below 1 meets it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <chrono>
#include <memory>

#include "CMainFrame.h"
#include "CORVELIXImageToolApp.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "EditingOperations.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point processStart;
double applicationMs = 0;

double ResidentMiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return 0;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) {
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
  }
  return 0;
}

// Starts the designer as main() does and waits for the view's first paint.
std::unique_ptr<azuz::CORVELIXImageToolApp> StartAndPaint() {
  auto app = std::make_unique<azuz::CORVELIXImageToolApp>(std::string());
  bool painted = false;
  app->InitInstance();
  QObject::connect(app->MainFrame()->GetActiveView(), &azuz::CORVELIXImageToolView::Painted,
                   [&painted] { painted = true; });
  while (!painted) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return app;
}

void BM_StartupToFirstPaint(benchmark::State& state) {
  bool first = true;
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    auto app = StartAndPaint();
    const auto end = Clock::now();
    totalMs += std::chrono::duration<double, std::milli>(end - start).count();
    if (first) {
      first = false;
      // The first start pays for fonts, plugins and caches, as a real start does.
      state.counters["cold_from_main_ms"] =
          std::chrono::duration<double, std::milli>(end - processStart).count();
      state.counters["qapplication_ms"] = applicationMs;
      state.counters["rss_after_start_MiB"] = ResidentMiB();
    }
    state.PauseTiming();
    app.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["vs_500ms"] = totalMs / static_cast<double>(state.iterations()) / 500.0;
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(20);

azuz::Picture MakePicture(int width, int height) {
  azuz::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t n = 0; n < picture.pixels.size(); ++n) {
    picture.pixels[n] = 0xFF000000u | static_cast<std::uint32_t>(n * 2654435761u & 0xFFFFFF);
  }
  return picture;
}

// 200 objects spread over the page: a quarter each pictures, texts, wide-pen shapes and filled
// shapes, at fade 50.
void FillBusyDesign(azuz::CORVELIXImageToolDoc& doc) {
  doc.fadeLevel = 50;
  azuz::FontRecord font;
  font.height = -24;
  for (int n = 0; n < 200; ++n) {
    azuz::DrawObject* object = doc.FindOrCreateObject(-1);
    const int x = (n * 37) % 480;
    const int y = (n * 53) % 280;
    object->left = x;
    object->top = y;
    object->right = x + 90;
    object->bottom = y + 50;
    switch (n % 4) {
      case 0:
        object->kind = static_cast<std::int32_t>(azuz::ObjectKind::Bitmap);
        object->picture = std::make_unique<azuz::Picture>(MakePicture(90, 50));
        break;
      case 1:
        object->SetText("Thank you " + std::to_string(n), font, 0x00000000, 0, 12);
        break;
      case 2:
        object->kind = static_cast<std::int32_t>(n % 8 == 2 ? azuz::ObjectKind::Line
                                                            : azuz::ObjectKind::Ellipse);
        object->penWidth = 9;
        object->penColour = 0x00000000;
        break;
      default:
        object->kind = static_cast<std::int32_t>(azuz::ObjectKind::Rectangle);
        object->penWidth = 6;
        object->penColour = 0x00402010;
        object->fillColour = 0x00C0C0C0;
        break;
    }
    doc.InsertAtHead(object);
  }
}

void BM_PaintPage200Objects(benchmark::State& state) {
  auto app = StartAndPaint();
  azuz::CORVELIXImageToolDoc& doc = app->Document();
  FillBusyDesign(doc);
  azuz::CORVELIXImageToolView& view = *app->MainFrame()->GetActiveView();
  const QRect page(18, 18, doc.pageWidth, doc.pageHeight);
  view.repaint(page);  // glyphs and faces cached, as after the first paint of a session
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    view.repaint(page);
    totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  state.counters["vs_4ms"] = totalMs / static_cast<double>(state.iterations()) / 4.0;
}
BENCHMARK(BM_PaintPage200Objects)->Unit(benchmark::kMillisecond);

// Sends a mouse event to the view and waits for the paint it asks for.
double SendAndPaintMs(azuz::CORVELIXImageToolView& view, QEvent::Type type, QPoint at,
                      Qt::MouseButtons buttons) {
  bool painted = false;
  const auto connection = QObject::connect(&view, &azuz::CORVELIXImageToolView::Painted,
                                           [&painted] { painted = true; });
  const auto start = Clock::now();
  QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&view, &event);
  while (!painted) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  QObject::disconnect(connection);
  return ms;
}

// The front object of the busy design, pressed in its middle: the head of the list is the
// last one inserted.
QPoint FrontObjectMiddle(const azuz::CORVELIXImageToolDoc& doc) {
  const azuz::DrawObject& front = *doc.objects.front();
  return {18 + static_cast<int>(front.left + front.right) / 2,
          18 + static_cast<int>(front.top + front.bottom) / 2};
}

// One move of a drag: only the outlines change, so the page is not recomposed.
void BM_DragMovePaint200Objects(benchmark::State& state) {
  auto app = StartAndPaint();
  azuz::CORVELIXImageToolDoc& doc = app->Document();
  FillBusyDesign(doc);
  azuz::CORVELIXImageToolView& view = *app->MainFrame()->GetActiveView();
  view.repaint();
  const QPoint start = FrontObjectMiddle(doc);
  QMouseEvent press(QEvent::MouseButtonPress, start, view.mapToGlobal(start), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&view, &press);
  double totalMs = 0;
  int step = 0;
  for (auto _ : state) {
    ++step;
    const QPoint to = start + QPoint(step % 40, (step / 40) % 20);
    totalMs += SendAndPaintMs(view, QEvent::MouseMove, to, Qt::LeftButton);
  }
  state.counters["vs_0.5ms"] = totalMs / static_cast<double>(state.iterations()) / 0.5;
}
BENCHMARK(BM_DragMovePaint200Objects)->Unit(benchmark::kMicrosecond);

// The release of a drag: the page is recomposed with the object at its new place.
void BM_DragReleaseRepaint200Objects(benchmark::State& state) {
  auto app = StartAndPaint();
  azuz::CORVELIXImageToolDoc& doc = app->Document();
  FillBusyDesign(doc);
  azuz::CORVELIXImageToolView& view = *app->MainFrame()->GetActiveView();
  view.repaint();
  double totalMs = 0;
  int step = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QPoint start = FrontObjectMiddle(doc);
    const QPoint to = start + QPoint(step % 2 == 0 ? 7 : -7, 0);
    ++step;
    QMouseEvent press(QEvent::MouseButtonPress, start, view.mapToGlobal(start), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    SendAndPaintMs(view, QEvent::MouseMove, to, Qt::LeftButton);
    state.ResumeTiming();
    totalMs += SendAndPaintMs(view, QEvent::MouseButtonRelease, to, Qt::NoButton);
  }
  state.counters["vs_4ms"] = totalMs / static_cast<double>(state.iterations()) / 4.0;
}
BENCHMARK(BM_DragReleaseRepaint200Objects)->Unit(benchmark::kMillisecond);

// Edit > Undo of one move in a design of 10,000 objects, through the window: the design restored,
// the panel's list rebuilt and the page repainted.
void BM_UndoInTheWindow10000Objects(benchmark::State& state) {
  auto app = StartAndPaint();
  azuz::CORVELIXImageToolDoc& doc = app->Document();
  for (int n = 0; n < 10000; ++n) {
    azuz::DrawObject* object = doc.FindOrCreateObject(-1);
    object->kind = static_cast<std::int32_t>(azuz::ObjectKind::Rectangle);
    object->left = (n * 37) % 480;
    object->top = (n * 53) % 280;
    object->right = object->left + 20;
    object->bottom = object->top + 10;
    object->penColour = 0x00000000;
    doc.AppendAtTail(object);
  }
  azuz::RefreshDesign(doc);
  doc.history.BeginStep(doc, "Move");
  doc.objects[0]->left += 5;
  doc.history.EndStep(doc);
  azuz::CMainFrame& frame = *app->MainFrame();
  azuz::CORVELIXImageToolView& view = *frame.GetActiveView();
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    frame.OnCommand(azuz::ID_EDIT_UNDO);
    view.repaint();
    totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    state.PauseTiming();
    frame.OnCommand(azuz::ID_EDIT_REDO);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["ms_per_undo"] = totalMs / static_cast<double>(state.iterations());
  // What any edit costs the window on the same design: the panel rebuilt, the page repainted.
  const auto start = Clock::now();
  azuz::RefreshDesign(doc);
  view.repaint();
  state.counters["ms_per_edit_refresh"] =
      std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
BENCHMARK(BM_UndoInTheWindow10000Objects)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  processStart = Clock::now();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  applicationMs = std::chrono::duration<double, std::milli>(Clock::now() - processStart).count();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
