#include "viewer/uFormAbout.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "viewer/uData.h"

// The build gives the version and the addresses (the CMake project's).
#ifndef KODRA_VERSION
#error "KODRA_VERSION is given by the build"
#endif
#ifndef KODRA_HOME_PAGE
#error "KODRA_HOME_PAGE is given by the build"
#endif
#ifndef KODRA_CONTACT
#error "KODRA_CONTACT is given by the build"
#endif

QString ProgramVersion() { return QStringLiteral(KODRA_VERSION); }
QString HomePageAddress() { return QStringLiteral(KODRA_HOME_PAGE); }
QString ContactAddress() { return QStringLiteral(KODRA_CONTACT); }

namespace {
QString Link(const QString& address, const QString& text) {
  return "<a href=\"" + address.toHtmlEscaped() + "\">" + text.toHtmlEscaped() + "</a>";
}

QLabel* AddLabel(QWidget& owner, const char* name, const QString& text, Qt::TextFormat format = Qt::PlainText) {
  auto* label = new QLabel(&owner);
  label->setObjectName(name);
  label->setTextFormat(format);
  label->setText(text);
  label->setWordWrap(true);
  label->setTextInteractionFlags(format == Qt::RichText ? Qt::TextBrowserInteraction : Qt::TextSelectableByMouse);
  if (format == Qt::RichText) {
    // Addresses open in the desktop's programs for them, through the one opener.
    label->setOpenExternalLinks(false);
    QObject::connect(label, &QLabel::linkActivated, &owner, [](const QString& link) { GlobalData().OpenUrl(QUrl(link)); });
  }
  return label;
}
}  // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("FormAbout");
  setWindowTitle(Tr("MainAboutCaption", "About Kodra"));
  setAccessibleName(windowTitle());

  auto* picture = new QLabel(this);
  picture->setObjectName("lblPicture");
  picture->setPixmap(QIcon(":/icons/kodra.svg").pixmap(64, 64));
  picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  picture->setAccessibleName(Tr("AboutPicture", "Kodra's emblem"));

  QLabel* name = AddLabel(*this, "lblName", "Kodra");
  QFont large = name->font();
  large.setBold(true);
  large.setPointSizeF(large.pointSizeF() * 1.5);
  name->setFont(large);
  const QString email = ContactAddress(), web = HomePageAddress();
  QLabel* lines[] = {
      name,
      AddLabel(*this, "lblVersion", Tr("AboutVersion", "Version %1").arg(ProgramVersion())),
      AddLabel(*this, "lblDescription",
               Tr("AboutDescription", "A dictionary of Ancient Greek and of Latin with Russian articles.")),
      AddLabel(*this, "lblAuthors", Tr("AboutAuthors", "\u00A9 2026 The Kodra developers")),
      AddLabel(*this, "lblEmail", Tr("AboutEmail", "E-mail:").toHtmlEscaped() + " " + Link("mailto:" + email, email),
               Qt::RichText),
      AddLabel(*this, "lblWeb", Tr("AboutWeb", "Web page:").toHtmlEscaped() + " " + Link(web, web), Qt::RichText),
      AddLabel(*this, "lblLicence",
               Tr("AboutLicence",
                  "Free software under the GNU General Public License, version 3 or any later version "
                  "(GPL-3.0-or-later), with no warranty.")),
      AddLabel(*this, "lblDataLicences",
               Tr("AboutDataLicences",
                  "Data: the program's own dictionaries and tables GPL-3.0-or-later; the Latin\u2013Russian "
                  "dictionary Public Domain Mark 1.0; the New Testament glossary GNU GPL v3; the Collatinus data "
                  "GPL-2.0-or-later; the treebank word lists and the forms made from them CC BY-SA 3.0 US.")),
  };

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setObjectName("Buttons");
  QPushButton* open = buttons->addButton(Tr("AboutOpenWeb", "Open the &web page"), QDialogButtonBox::ActionRole);
  open->setObjectName("btnWeb");
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOk");
  connect(open, &QPushButton::clicked, this, [] { GlobalData().HomePage(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  // The emblem beside the lines, the buttons below.
  auto* texts = new QVBoxLayout;
  for (QLabel* line : lines) texts->addWidget(line);
  texts->addStretch(1);
  auto* body = new QHBoxLayout;
  body->addWidget(picture, 0, Qt::AlignTop);
  body->addSpacing(8);
  body->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(buttons);
  setMinimumWidth(460);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
}
