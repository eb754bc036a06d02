// The window's start as a reader meets it: from making the window, asked for
// a word, to the word's article painted, on the synthetic sets of
// scripts/make_synthetic.py (program folders made by scripts/compare_peers.py).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

#include "foundation/KezProgramFolder.h"
#include "options/uOptions.h"
#include "viewer/instance/uInstanceMessage.h"
#include "viewer/uFormKodra3.h"
#include "viewer/uWindowRequests.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {
namespace fs = std::filesystem;

// Tells when the article view has painted an article.
class TArticlePainted : public QObject {
public:
  explicit TArticlePainted(TKezUnicodeRichEdit* view) : FView(view) { view->viewport()->installEventFilter(this); }
  bool Painted() const { return FPainted; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !FView->Text().empty()) FPainted = true;
    return QObject::eventFilter(watched, event);
  }

private:
  TKezUnicodeRichEdit* FView;
  bool FPainted = false;
};

void BM_WindowFirstArticle(benchmark::State& state, const std::string& set) {
  const fs::path home = fs::path(KODRA_SYNTHETIC) / ("home-" + set);
  if (!fs::exists(home / "ancientgreek" / "main.kdb")) {
    state.SkipWithError("no synthetic set (run scripts/compare_peers.py --cases start)");
    return;
  }
  const std::string previous = ProgramFolder();
  SetProgramFolder(home.string());
  Options().LoadFirstRunDefaults();
  Options().SetBoxOnError(false);
  // The first window also pays for what the process does once (fonts,
  // styles): "first" is its time in milliseconds.
  double first = -1;
  for (auto _ : state) {
    QElapsedTimer started;
    started.start();
    TFormKodra3 window;
    SetStartRequest(window, TInstanceRequest{TInstanceRequestKind::LookUpWord, u"λογος"});
    TArticlePainted watch(window.ArticleView());
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!watch.Painted() && waited.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    if (!watch.Painted()) state.SkipWithError("no article was painted in 10 s");
    if (first < 0) first = double(started.nsecsElapsed()) / 1e6;
    state.PauseTiming();
    window.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  state.counters["first"] = first;
  SetProgramFolder(previous);
}

}  // namespace

// Each set in a process of its own shows the first window's cost:
//   kodra_gui_benchmarks --benchmark_filter=lsj_forms
BENCHMARK_CAPTURE(BM_WindowFirstArticle, lsj, std::string("lsj"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WindowFirstArticle, lsj_forms, std::string("lsj-forms"))->Unit(benchmark::kMillisecond)->UseRealTime();
