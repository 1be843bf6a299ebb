#include "ui/user_guide_ps.h"

#include <QAbstractButton>
#include <QDir>
#include <QSaveFile>
#include <QShowEvent>
#include <QTimer>

#include "model/string_table.h"
#include "ui/bitmaps.h"
#include "ui/one_instance.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaptionId = 3341;  // "Tallowmere Setup Wizard"
constexpr int kIconId = 128;
constexpr char kGrabVariable[] = "TALLOWMERE_TEST_GRAB";

const QList<QWizard::WizardButton> kPageLayout = {QWizard::Stretch, QWizard::BackButton,
                                                  QWizard::NextButton, QWizard::FinishButton,
                                                  QWizard::CancelButton};
// Page 3 keeps Finish alone, at the right.
const QList<QWizard::WizardButton> kFinishLayout = {QWizard::Stretch, QWizard::FinishButton};

void SetButton(QAbstractButton* button, bool visible, bool enabled) {
    if (button == nullptr)
        return;
    button->setVisible(visible);
    button->setEnabled(enabled);
}

}  // namespace

CUserGuidePS::CUserGuidePS(MUserGuideHost& host, const CUserList& users, std::mutex* usersMutex,
                           QWidget* parent)
    : QWizard(parent), logic_(host, users, usersMutex), fonts_(MakeUserGuideFonts()) {
    setObjectName(QStringLiteral("userGuide"));
    setWindowTitle(QString::fromStdString(LoadString(kCaptionId)));
    setWindowIcon(BitmapIcon(kIconId));
    setWizardStyle(QWizard::ClassicStyle);
    // Room for the longest lines at 15 pixels, each on one line.
    setMinimumSize(860, 460);
    setButtonLayout(kPageLayout);
    setModal(false);
    setWindowModality(Qt::NonModal);

    setPage(0, new CUserGuidePP1(fonts_, this));
    createUser_ = new CUserGuidePP2(
        fonts_, [this] { return logic_.CanLeaveCreateUser(); }, this);
    setPage(1, createUser_);
    finish_ = new CUserGuidePP3(
        fonts_, [this] { return QString::fromStdString(logic_.CongratulationText()); }, this);
    setPage(2, finish_);
    setStartId(0);

    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (id < 0)
            return;
        logic_.OnPageShown(static_cast<UserGuidePage>(id));
        // QWizard sets its buttons when the page changes; ours come after.
        QMetaObject::invokeMethod(this, &CUserGuidePS::ApplyButtons, Qt::QueuedConnection);
    });
}

CUserGuidePS::~CUserGuidePS() = default;

void CUserGuidePS::Start() {
    logic_.Start();
    restart();
    show();
    RaiseWindow(*this);
}

void CUserGuidePS::ApplyButtons() {
    if (currentId() < 0)
        return;
    if (logic_.Page() == UserGuidePage::kFinish && !finishLayout_) {
        finishLayout_ = true;
        setButtonLayout(kFinishLayout);
    }
    const WizardButtons b = logic_.Buttons();
    SetButton(button(QWizard::BackButton), b.backVisible, b.backEnabled);
    SetButton(button(QWizard::NextButton), b.nextVisible, b.nextEnabled);
    SetButton(button(QWizard::FinishButton), b.finishVisible, b.finishEnabled);
    SetButton(button(QWizard::CancelButton), b.cancelVisible, b.cancelVisible);
}

void CUserGuidePS::Refresh() {
    // QWizard's own update first (it follows isComplete), then ours.
    createUser_->Changed();
    finish_->Refresh();
    ApplyButtons();
}

void CUserGuidePS::OnUserCreated(std::uint64_t run, const std::string& folderName) {
    logic_.OnUserCreated(run, folderName);
}

void CUserGuidePS::OnUserRemoved(const std::string& folderName) {
    logic_.OnUserRemoved(folderName);
    Refresh();
}

void CUserGuidePS::EnableCreateUserNext(std::uint64_t run, bool succeeded) {
    const bool takeFocus = logic_.EnableCreateUserNext(run, succeeded);
    Refresh();
    if (takeFocus)
        RaiseWindow(*this);
}

void CUserGuidePS::accept() {
    if (!logic_.IsRunning())
        return;
    // Hidden first, so the main window does not open beside it.
    QWizard::accept();
    logic_.Finish();
}

void CUserGuidePS::reject() {
    if (!logic_.IsRunning())
        return;
    QWizard::reject();
    logic_.Cancel();
}

void CUserGuidePS::showEvent(QShowEvent* event) {
    QWizard::showEvent(event);
    if (!grabbed_ && !qEnvironmentVariableIsEmpty(kGrabVariable)) {
        grabbed_ = true;
        // After the first layout and paint, and after the page's buttons.
        QTimer::singleShot(0, this, &CUserGuidePS::GrabForTest);
    }
}

void CUserGuidePS::GrabForTest() {
    const QString folder = qEnvironmentVariable(kGrabVariable);
    // Written whole under a temporary name, so a watcher never reads half.
    QSaveFile file(QDir(folder).filePath(QStringLiteral("wizard.png")));
    if (file.open(QIODevice::WriteOnly) && grab().save(&file, "PNG"))
        file.commit();
}

QWidget* UserGuideOrFrame(CUserGuidePS* wizard, QWidget* frame) {
    if (wizard != nullptr && wizard->IsRunning())
        return wizard;
    return frame;
}

}  // namespace tallowmere::ui
