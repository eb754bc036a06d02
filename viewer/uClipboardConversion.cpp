#include "viewer/uClipboardConversion.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>

#include "language/uCommon.h"
#include "language/uLanguage.h"
#include "language/uPasteConversion.h"
#include "viewer/uData.h"
#include "viewer/uProgress.h"
#include "widgets/KezUnicodeRichEdit.h"

namespace {

TKezUnicodeRichEdit* GHiddenEdit = nullptr;

void FreeHiddenEdit() {
  delete GHiddenEdit;
  GHiddenEdit = nullptr;
}

// Made on first use, never shown; it goes with the application.
TKezUnicodeRichEdit& HiddenEdit() {
  if (!GHiddenEdit) {
    GHiddenEdit = new TKezUnicodeRichEdit;
    GHiddenEdit->setObjectName("edHiddenClipboard");
    GHiddenEdit->setAccessibleName("Clipboard conversion");
    GHiddenEdit->SetUndoLimit(0);
    qAddPostRoutine(FreeHiddenEdit);
  }
  return *GHiddenEdit;
}

// Shows the progress of a long conversion and hides it again, also when the
// conversion fails. A bar that would flash by is shown full for a moment.
class TPasteProgress {
public:
  explicit TPasteProgress(bool shown) : FWindow(shown ? &GlobalData().Progress() : nullptr) {
    if (FWindow) FWindow->Start(Tr("SPasteAction", "Paste process..."));
  }
  ~TPasteProgress() {
    if (!FWindow) return;
    if (FTimer.isValid() && FTimer.elapsed() < TFormProgress::kFinishMilliseconds) FWindow->Finish();
    FWindow->hide();
  }
  TPasteProgress(const TPasteProgress&) = delete;
  TPasteProgress& operator=(const TPasteProgress&) = delete;

  void Begin(int32_t length) {
    FTimer.start();
    if (FWindow) FWindow->SetRange(length, kPasteConversionStep);
  }
  // False once the user has cancelled.
  bool Step() { return !FWindow || FWindow->StepIt(); }

private:
  TFormProgress* FWindow;
  QElapsedTimer FTimer;
};

}  // namespace

std::u16string PasteConverted(const TKodraLanguage& language, int32_t maxLength, const QMimeData* offer) {
  if (!offer) offer = QApplication::clipboard()->mimeData();
  const int size = TGlobalData::MimeTextSize(offer);
  if (size >= kClipboardLimit) RaiseHelpedError("SClipTooLong", "Too long text in clipboard");
  if (!offer || size == 0) return {};
  TPasteProgress progress(size > kClipboardProgressSize);
  TKezUnicodeRichEdit& edit = HiddenEdit();
  edit.SetText(u"");
  edit.InsertMimeData(*offer);
  // The characters and the face of each, read in one pass; the edit is
  // emptied at once, so a large paste does not stay in memory twice.
  TRtfTextSource source(edit.RangeDocument(0, edit.TextLength()));
  edit.SetText(u"");
  const int32_t length = maxLength > 0 ? std::min(maxLength, source.Length()) : source.Length();
  progress.Begin(length);
  return ConvertPastedText(language, source, maxLength, [&progress] { return progress.Step(); });
}

void CopyToClipboard(std::u16string_view text) {
  TKezUnicodeRichEdit& edit = HiddenEdit();
  edit.SetText(u"");
  InsertUnicodeText(edit, text);
  edit.SelectAll();
  edit.copy();
  edit.SetText(u"");
}
