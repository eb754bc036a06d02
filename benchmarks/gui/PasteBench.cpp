// Pasting large clipboards through the hidden edit and the font tables: the
// whole conversion must stay linear in the clipboard's size.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

#include "foundation/KezProgramFolder.h"
#include "language/uLanguage.h"
#include "viewer/uClipboardConversion.h"
#include "viewer/uData.h"

namespace {

// Plain Greek text of the given number of units.
QMimeData* PlainText(int64_t units) {
  auto* data = new QMimeData;
  QString text;
  text.reserve(units);
  const QString word = QString::fromUtf8("λόγος ");
  while (text.size() < units) text += word;
  text.truncate(units);
  data->setText(text);
  return data;
}

// Rich text alternating Times New Roman and Symbol runs of ten letters.
QMimeData* MixedFonts(int64_t letters) {
  std::string rtf = R"({\rtf1\ansi{\fonttbl{\f0 Times New Roman;}{\f1\fcharset2 Symbol;}})";
  for (int64_t run = 0; run * 10 < letters; ++run) rtf += run % 2 ? "{\\f1 anqrwpos l}" : "{\\f0 homo homo }";
  rtf += "}";
  auto* data = new QMimeData;
  data->setData("text/rtf", QByteArray::fromStdString(rtf));
  return data;
}

void Paste(benchmark::State& state, QMimeData* (*make)(int64_t)) {
  const TKodraLanguage& greek = *FindLanguage("ancientgreek");
  QApplication::clipboard()->setMimeData(make(state.range(0)));
  // Above 20,000 bytes the progress window shows, and holds the full bar
  // for 300 ms: real time includes that, CPU time is the work.
  const QMimeData* offer = QApplication::clipboard()->mimeData();
  QMimeData copy;
  for (const QString& format : offer->formats()) copy.setData(format, offer->data(format));
  size_t converted = 0;
  for (auto _ : state) converted = PasteConverted(greek, 0, &copy).size();
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["units"] = double(converted);
}

}  // namespace

BENCHMARK_CAPTURE(Paste, PlainText, PlainText)->Arg(10000)->Arg(100000)->Arg(450000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Paste, MixedFonts, MixedFonts)->Arg(10000)->Arg(100000)->Arg(450000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window keeps settings of its own: they stay out of the user's.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  QApplication application(argc, argv);
  // The shipped tables of the build's program folder.
  SetProgramFolder(KODRA_BIN_DIR "/");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
