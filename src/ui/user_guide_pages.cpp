#include "ui/user_guide_pages.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

#include "ui/bitmaps.h"

namespace tallowmere::ui {
namespace {

// The accent of the step the page is at, the blue of the program's icon.
const QColor kCurrentStep(30, 84, 140);

QLabel* Text(int id, const char* text, const QFont& font, QWidget* parent, bool wrap = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("id_%1").arg(id));
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(text));
    label->setFont(font);
    label->setWordWrap(wrap);
    return label;
}

QLabel* Picture(int id, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("picture%1").arg(id));
    label->setPixmap(QPixmap::fromImage(Bitmap(id)));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The steps at the page's left: "Steps:" and the three steps, the page's
// own in the accent colour. ids: "Steps:", then the three steps.
QFrame* Steps(const UserGuideFonts& fonts, std::initializer_list<int> ids, int current,
              QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("stepsPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Base);
    panel->setFixedWidth(160);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(14, 14, 10, 14);
    column->setSpacing(10);
    static const char* const kTexts[] = {"Steps:", "1. Welcome", "2. Create User", "3. Finish!"};
    int index = 0;
    for (const int id : ids) {
        QLabel* label = Text(id, kTexts[index], index == 0 ? fonts.regular : fonts.bold, panel);
        if (index == current) {
            QPalette palette = label->palette();
            // On the panel's base colour a label draws in the Text role.
            palette.setColor(QPalette::WindowText, kCurrentStep);
            palette.setColor(QPalette::Text, kCurrentStep);
            label->setPalette(palette);
        }
        column->addWidget(label);
        if (index == 0)
            column->addSpacing(4);
        ++index;
    }
    column->addStretch();
    return panel;
}

// The page's frame: the steps, then the page's own column.
QVBoxLayout* PageColumn(QWizardPage& page, QFrame* steps) {
    auto* row = new QHBoxLayout(&page);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(20);
    row->addWidget(steps);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 6, 6, 0);
    column->setSpacing(10);
    row->addLayout(column, 1);
    return column;
}

}  // namespace

UserGuideFonts MakeUserGuideFonts() {
    UserGuideFonts fonts;
    fonts.regular = QFont(QStringLiteral("Arial"));
    fonts.regular.setPixelSize(15);
    fonts.bold = fonts.regular;
    fonts.bold.setWeight(QFont::Bold);
    return fonts;
}

CUserGuidePP1::CUserGuidePP1(const UserGuideFonts& fonts, QWidget* parent) : QWizardPage(parent) {
    setObjectName(QStringLiteral("id_106"));
    QVBoxLayout* column = PageColumn(*this, Steps(fonts, {1180, 1181, 1182, 1183}, 1, this));
    column->addWidget(Text(1184, "Welcome to the Tallowmere Setup Wizard!", fonts.bold, this));
    column->addSpacing(8);
    column->addWidget(Text(1185, "Before you begin, please ensure:", fonts.regular, this));

    // Each thing to check beside its picture.
    auto* checks = new QGridLayout;
    checks->setHorizontalSpacing(14);
    checks->setVerticalSpacing(10);
    checks->setColumnStretch(1, 1);
    checks->addWidget(Picture(218, this), 0, 0);
    checks->addWidget(
        Text(1186, "1. Tallowmere is running on your  Android phone.", fonts.regular, this), 0, 1);
    checks->addWidget(Picture(219, this), 1, 0);
    checks->addWidget(Text(1187, "2.  Android phone is connected to Wi-Fi.", fonts.regular, this),
                      1, 1);
    checks->addWidget(Picture(220, this), 2, 0);
    auto* third = new QVBoxLayout;
    third->setSpacing(2);
    third->addStretch();
    third->addWidget(Text(1188, "3. This computer running the wizard is also connected to ",
                          fonts.regular, this));
    third->addWidget(
        Text(1189, "  the same local network connection (Wi-Fi or Wired)", fonts.regular, this));
    third->addStretch();
    checks->addLayout(third, 2, 1);
    column->addLayout(checks);
    column->addStretch();
}

CUserGuidePP1::~CUserGuidePP1() = default;

CUserGuidePP2::CUserGuidePP2(const UserGuideFonts& fonts, std::function<bool()> canLeave,
                             QWidget* parent)
    : QWizardPage(parent), canLeave_(std::move(canLeave)) {
    setObjectName(QStringLiteral("id_1600"));
    QVBoxLayout* column = PageColumn(*this, Steps(fonts, {1190, 1191, 1192, 1193}, 2, this));
    column->addWidget(
        Text(1194, "Create a Tallowmere user account on the desktop:", fonts.bold, this));
    column->addSpacing(8);

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    auto* steps = new QVBoxLayout;
    steps->setSpacing(10);
    steps->addWidget(Text(1195, "1. Press the menu button on the handheld and select Synchronize.",
                          fonts.regular, this, true));
    steps->addWidget(Text(1196,
                          "Select the name of the desktop computer to sync with, or enter the IP "
                          "address manually.",
                          fonts.regular, this, true));
    steps->addWidget(Text(1197, "3. Tap Start Sync.", fonts.regular, this, true));
    steps->addWidget(Text(1198, "4. Tap on \"Start Sync\" button", fonts.regular, this, true));
    steps->addSpacing(8);
    steps->addWidget(Text(1199, "Note: The IP address of the desktop computer is displayed.",
                          fonts.regular, this, true));
    steps->addStretch();
    row->addLayout(steps, 1);
    row->addWidget(Picture(221, this), 0, Qt::AlignTop);
    column->addLayout(row, 1);
}

CUserGuidePP2::~CUserGuidePP2() = default;

bool CUserGuidePP2::isComplete() const {
    return canLeave_();
}

bool CUserGuidePP2::validatePage() {
    return canLeave_();
}

void CUserGuidePP2::Changed() {
    emit completeChanged();
}

CUserGuidePP3::CUserGuidePP3(const UserGuideFonts& fonts, std::function<QString()> text,
                             QWidget* parent)
    : QWizardPage(parent), text_(std::move(text)) {
    setObjectName(QStringLiteral("id_1599"));
    QVBoxLayout* column = PageColumn(*this, Steps(fonts, {1200, 1201, 1202, 1203}, 3, this));
    created_ = Text(1179, "", fonts.bold, this, true);
    column->addWidget(created_);
    column->addSpacing(8);
    column->addWidget(Text(1204, "Tips on Getting Started:", fonts.regular, this));
    column->addWidget(Text(1205,
                           "1. If you are an existing Tallowmere User, use \"Import\" to import "
                           "your existing Tallowmere records",
                           fonts.regular, this, true));
    column->addWidget(Text(1206,
                           "2. For security purpose, always set a password. Setting a password "
                           "encrypts the data",
                           fonts.regular, this, true));
    auto* third = new QVBoxLayout;
    third->setSpacing(2);
    third->addWidget(Text(1207,
                          "3. Follow the same procedure to synchronize Tallowmere records between "
                          "the desktop",
                          fonts.regular, this, true));
    third->addWidget(Text(1208, "and the handheld. Sync settings are found in the File menu option",
                          fonts.regular, this, true));
    column->addLayout(third);
    column->addStretch();
}

CUserGuidePP3::~CUserGuidePP3() = default;

void CUserGuidePP3::initializePage() {
    Refresh();
}

void CUserGuidePP3::Refresh() {
    created_->setText(text_());
}

}  // namespace tallowmere::ui
