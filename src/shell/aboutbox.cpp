#include "shell/aboutbox.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/config.h"
#include "app/datafolders.h"
#include "app/widgets/linklabel.h"

namespace {
const char* kSupportAddress = "support@mavelo.app";
}

AboutBox::AboutBox(const QString& picturePath, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About"));
  auto* lay = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("Image1"));
  QPixmap pm(picturePath);
  if (!pm.isNull()) picture->setPixmap(pm);
  picture->setAlignment(Qt::AlignCenter);
  lay->addWidget(picture);

  auto* version = new QLabel(QStringLiteral("Version ") + FileVersionText(), this);
  version->setObjectName(QStringLiteral("lblVersion"));
  lay->addWidget(version);
  lay->addWidget(new QLabel(QStringLiteral("Program Homepage"), this));
  auto* home = new LinkLabel(QStringLiteral("visit homepage"), this);
  home->setObjectName(QStringLiteral("lblHomepage"));
  home->setStyleSheet(QStringLiteral("color: rgb(0,128,255); font-weight: bold;"));
  connect(home, &LinkLabel::clicked, this, [] { OpenDocument(Brand().Url); });
  lay->addWidget(home);
  lay->addWidget(new QLabel(QStringLiteral("Software support questions:"), this));
  auto* mail = new LinkLabel(QLatin1String(kSupportAddress), this);
  mail->setObjectName(QStringLiteral("lblSupport"));
  mail->setStyleSheet(QStringLiteral("color: rgb(0,128,255); font-weight: bold;"));
  connect(mail, &LinkLabel::clicked, this, [] {
    OpenDocument(QStringLiteral("mailto:") + QLatin1String(kSupportAddress) +
                 QStringLiteral("?Subject=Calendar Question"));
  });
  lay->addWidget(mail);
  auto* close = new QPushButton(QStringLiteral("C&lose"), this);
  close->setObjectName(QStringLiteral("btnClose"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  lay->addWidget(close, 0, Qt::AlignRight);
}
