#pragma once
// The dictionaries manager: the compiled dictionaries of the current
// language's folder, each with a box that says whether it is active, and
// the selected one's comment below. Ok writes the choice to
// dictionaries.cfg; the caller then reads the dictionaries again.
#include <QDialog>
#include <memory>
#include <string>

class QPushButton;
class QSplitter;
class TDictionariesList;
class TKezListBox;
class TKezUnicodeRichEdit;
class TKodraLanguage;
struct TManagedDictionary;

class TFormDictionariesManager : public QDialog {
  Q_OBJECT
public:
  // folder: the language's folder.
  // folder: the language folder written to; shippedFolder: the shipped
  // dictionaries behind it (none: the folder alone).
  TFormDictionariesManager(QWidget* parent, const TKodraLanguage* language, const std::string& folder,
                           const std::string& shippedFolder = {});
  ~TFormDictionariesManager() override;

  // True after Ok when the configuration was changed and written.
  bool Modified() const;
  TDictionariesList& List() const { return *FList; }
  TKezListBox* ListBox() const { return lstDictionaries; }
  TKezUnicodeRichEdit* CommentBox() const { return edComment; }
  void Toggle(int32_t index);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

private:
  void ShowComment();
  QString RowCaption(const TManagedDictionary& item) const;
  void DrawRow(QPainter& canvas, int32_t index, const QRect& rect);

  std::unique_ptr<TDictionariesList> FList;
  int FNameWidth = 0;
  QSplitter* Splitter;
  TKezListBox* lstDictionaries;
  TKezUnicodeRichEdit* edComment;
  QPushButton* btnOk;
  QPushButton* btnCancel;
  QPushButton* btnHelp;
};
