#pragma once
// The options window: every option in a property grid, with the selected
// row's explanation below it. Changes take effect at once through the
// options' notifiers; closing the window saves the settings file.
#include <QDialog>
#include <functional>
#include <vector>

#include "options/uOptionsDescription.h"

class QLabel;
class QSplitter;
class TKezObjectInspectorGrid;

class TFormOptions : public QDialog {
  Q_OBJECT
public:
  // Client size of the window as laid out.
  static constexpr int kWidth = 402;
  static constexpr int kHeight = 464;
  static constexpr int kHintHeight = 62;

  explicit TFormOptions(QWidget* parent = nullptr);
  ~TFormOptions() override;

  // A note the HotKey row's explanation ends with (the key could not be
  // taken, say); empty for none.
  void SetHotKeyNote(std::function<QString()> note) { FHotKeyNote = std::move(note); }

  TKezObjectInspectorGrid* Grid() const { return FGrid; }
  const std::vector<TOptionsRow>& Rows() const { return FRows; }
  // The row of a dotted property path, or -1.
  int RowOfPath(const std::string& path) const;
  QString HintCaption() const;
  QString HintText() const;
  // True when the hint panel shows an error.
  bool HintIsError() const { return FHintIsError; }

protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void Fill();
  void ShowHint(int row);
  void ShowError(int row, const QString& message);
  void ShowPanel(int icon, const QString& caption, const QString& text, bool error);
  QString RowCaption(int row) const;
  void Retranslate();
  void PlaceDivider();
  void SaveAndRemember();

  TKezObjectInspectorGrid* FGrid;
  QSplitter* FSplitter;
  QWidget* FPanel;
  QLabel* FHintIcon;
  QLabel* FHintCaption;
  QLabel* FHintText;
  std::vector<TOptionsRow> FRows;
  std::function<QString()> FHotKeyNote;
  bool FHintIsError = false;
  bool FSaved = false;
};
