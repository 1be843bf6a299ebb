#include "ui/about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "model/string_table.h"
#include "ui/logic/about_box.h"
#include "ui/ui_services.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaptionId = 3250;  // "About Tallowmere Desktop"

QLabel* PlainLabel(const std::string& text, int id, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("id_%1").arg(id));
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromStdString(text));
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent, std::string aboutKeyPath) : QDialog(parent) {
    setObjectName(QStringLiteral("id_100"));
    setWindowTitle(Text(kCaptionId));
    const AboutForm form = OpenAboutBox(aboutKeyPath);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setHorizontalSpacing(18);
    layout->setVerticalSpacing(12);
    layout->setColumnMinimumWidth(1, 280);
    layout->setRowMinimumHeight(1, 24);

    // The program's icon (the parent's, else the application's), once set.
    const QIcon icon = windowIcon();
    if (!icon.isNull()) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("programIcon"));
        picture->setPixmap(icon.pixmap(32, 32));
        picture->setAlignment(Qt::AlignTop);
        layout->addWidget(picture, 0, 0, 2, 1);
    }

    QLabel* version = PlainLabel(form.versionText, 1053, this);
    layout->addWidget(version, 0, 1);
    // Data from outside: never read as rich text.
    QLabel* promo = PlainLabel(form.promoText, 1024, this);
    promo->setWordWrap(true);
    promo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(promo, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("id_1"));
    ok->setDefault(true);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::reject() {
    done(2);
}

int RunAboutDialog(QWidget* parent) {
    CAboutDlg dialog(parent);
    return Services().RunDialog(dialog);
}

}  // namespace tallowmere::ui
