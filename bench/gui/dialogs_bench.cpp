// The editing dialogs' costs on the offscreen platform: the text dialog's preview after one
// keystroke in a 40-character line, and opening the font chooser with the machine's faces.
// Counters named vs_* are the measured time over its target (below 1 meets it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QWindow>
#include <chrono>

#include "CDlg_Text.h"
#include "ControlIds.h"
#include "FontChooser.h"
#include "RenderedArea.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void WaitExposed(QWidget& widget) {
  while (!widget.isVisible() || !widget.windowHandle() || !widget.windowHandle()->isExposed()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  QCoreApplication::processEvents();
}

// One keystroke: the edit changes (a letter typed, or taken away again) and the preview
// repaints from the shared renderer.
void BM_TextPreviewPerKeystroke(benchmark::State& state) {
  azuz::CDlg_Text dialog;
  dialog.text = "Thank you for shopping with us today!!!";
  dialog.text += "x";  // 40 characters
  dialog.font.height = -16;
  dialog.show();
  WaitExposed(dialog);
  auto* edit = dialog.findChild<QLineEdit*>(azuz::ControlName(azuz::IDC_TEXT));
  azuz::RenderedArea* preview = dialog.Preview();
  preview->repaint();  // faces and glyphs cached, as after the dialog's first paint
  bool add = true;
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (add) {
      edit->insert(QStringLiteral("y"));
    } else {
      edit->backspace();
    }
    preview->repaint();
    totalMs += Ms(Clock::now() - start);
    add = !add;
  }
  state.counters["characters"] = static_cast<double>(edit->text().size());
  state.counters["vs_2ms"] = totalMs / static_cast<double>(state.iterations()) / 2.0;
}
BENCHMARK(BM_TextPreviewPerKeystroke)->Unit(benchmark::kMicrosecond);

// From the font button's press to the chooser on the screen with its lists and sample. The
// chooser opens from the text dialog, which has drawn its preview by then; the first open in a
// process also lists the installed faces.
void BM_FontChooserOpen(benchmark::State& state) {
  const azuz::FontRecord record;
  azuz::CDlg_Text text;
  text.show();
  WaitExposed(text);
  text.Preview()->repaint();
  bool first = true;
  double totalMs = 0;
  int faces = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    {
      azuz::FontChooser chooser(record, 0, &text);
      chooser.show();
      WaitExposed(chooser);
      chooser.Sample()->repaint();
      const double ms = Ms(Clock::now() - start);
      totalMs += ms;
      faces = static_cast<int>(chooser.Faces().size());
      if (first) {
        first = false;
        state.counters["first_open_ms"] = ms;
      }
      state.PauseTiming();
      chooser.hide();
    }
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["faces"] = faces;
  state.counters["vs_150ms"] = totalMs / static_cast<double>(state.iterations()) / 150.0;
}
BENCHMARK(BM_FontChooserOpen)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
