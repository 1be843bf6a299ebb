#pragma once
// The three pages of the setup wizard (dialogs 106, 1600 and 1599). Each
// has the steps at its left and its own text beside them, in the wizard's
// bold and regular fonts; the texts are the pages' own, as they are.
#include <QFont>
#include <QWizardPage>
#include <functional>

class QLabel;

namespace tallowmere::ui {

// Arial at 15 pixels, bold (weight 700) and regular.
struct UserGuideFonts {
    QFont bold;
    QFont regular;
};
UserGuideFonts MakeUserGuideFonts();

class CUserGuidePP1 final : public QWizardPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUserGuidePP1)

  public:
    CUserGuidePP1(const UserGuideFonts& fonts, QWidget* parent = nullptr);
    ~CUserGuidePP1() override;
};

class CUserGuidePP2 final : public QWizardPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUserGuidePP2)

  public:
    // canLeave tells whether Next may go on (a sync has ended well).
    CUserGuidePP2(const UserGuideFonts& fonts, std::function<bool()> canLeave,
                  QWidget* parent = nullptr);
    ~CUserGuidePP2() override;

    bool isComplete() const override;
    bool validatePage() override;
    // Tells the wizard that isComplete may have changed.
    void Changed();

  private:
    std::function<bool()> canLeave_;
};

class CUserGuidePP3 final : public QWizardPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUserGuidePP3)

  public:
    // text gives the line that names the created user.
    CUserGuidePP3(const UserGuideFonts& fonts, std::function<QString()> text,
                  QWidget* parent = nullptr);
    ~CUserGuidePP3() override;

    void initializePage() override;
    // Shows the text as it is now.
    void Refresh();

  private:
    std::function<QString()> text_;
    QLabel* created_;
};

}  // namespace tallowmere::ui
