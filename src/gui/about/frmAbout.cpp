#include "gui/about/frmAbout.h"

#include "QuillfortVersion.h"
#include "core/system/SysInfo.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/ProcessLauncher.h"
#include "core/system/Registry.h"
#include "gui/platform/SharpPicture.h"

#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

frmAbout::frmAbout(Dialogs& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
  buildControls();
  Form_Load();
}

void frmAbout::buildControls() {
  setWindowTitle(QStringLiteral("About Quillfort"));
  setWindowIcon(QIcon(QStringLiteral(":/quillfort.png")));
  setModal(true);
  setFixedSize(382, 236);

  const auto label = [this](const char* name, const QString& text, const QRect& geometry) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
  };

  picIcon = new QLabel(this);
  picIcon->setObjectName(QStringLiteral("picIcon"));
  picIcon->setGeometry(16, 16, 32, 32);
  picIcon->setPixmap(QPixmap(sharpPicture(QStringLiteral(":/about.png"))));

  lblTitle = label("lblTitle", QStringLiteral("Quillfort"), QRect(70, 14, 296, 32));
  QFont titleFont = lblTitle->font();
  titleFont.setPointSize(titleFont.pointSize() + 6);
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);

  lblVersion = label("lblVersion", QStringLiteral("Version 1.0"), QRect(70, 50, 296, 18));

  lblDescription = label("lblDescription",
                         QStringLiteral("An editor for mission briefings, written by the Quillfort "
                                        "developers. Released December 2026."),
                         QRect(70, 76, 296, 60));

  // The etched separator: a gray line with a white one beneath it.
  const auto line = [this](const char* name, const QColor& color, int y) {
    auto* f = new QFrame(this);
    f->setObjectName(QString::fromLatin1(name));
    f->setGeometry(6, y, 370, 1);
    QPalette palette = f->palette();
    palette.setColor(QPalette::Window, color);
    f->setPalette(palette);
    f->setAutoFillBackground(true);
    return f;
  };
  Line1 = line("Line1", QColor(0x80, 0x80, 0x80), 146);
  Line2 = line("Line2", QColor(0xFF, 0xFF, 0xFF), 147);

  lblDisclaimer = label("lblDisclaimer",
                        QStringLiteral("The scripts it writes follow the briefing template that the "
                                       "mission-making community shared, with thanks to its author."),
                        QRect(16, 160, 250, 64));

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setGeometry(274, 160, 94, 26);
  cmdOK->setDefault(true);

  cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
  cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  cmdSysInfo->setGeometry(274, 196, 94, 26);
  cmdSysInfo->setAutoDefault(false);

  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load() {
  lblVersion->setText(
      QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch));
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() {
  // Registry paths are bytes of the system's code page, which is what
  // Qt calls the local 8-bit encoding.
  SysInfoCalls calls;
  calls.fileExists = [](const std::string& path) { return QFileInfo::exists(QString::fromLocal8Bit(path)); };
  calls.startProgram = [](const std::string& path) {
    return ProcessLauncher::instance().start(QString::fromLocal8Bit(path));
  };
  calls.messageBox = [this](const std::string& prompt, int style, const std::string& title) {
    m_dialogs.messageBox(QString::fromStdString(prompt), style, QString::fromStdString(title));
  };
  StartSysInfo(Registry::instance(), calls);
}
