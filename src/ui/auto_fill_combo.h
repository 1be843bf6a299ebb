#pragma once
// Completion of an editable combo box's text from its own items: after each
// typed character the first item in [first, count - ignored) that is longer
// than the text and starts with it (in any case) supplies the rest of the
// text, which is selected so that typing on replaces it. A backspace never
// completes. A watched key (Tab) can be offered to a handler first, which
// claims it by answering true, so that the focus stays.
//
// It watches the QComboBox itself: the combo is the focus widget, and Qt
// hands keys to its line edit by a direct call, so a filter on the line edit
// would see none.
#include <QObject>
#include <functional>

class QComboBox;
class QKeyEvent;

namespace tallowmere::ui {

class CAutoFillCombo final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAutoFillCombo)

  public:
    // Asked with the watched key; true claims it.
    using KeyHandler = std::function<bool(int key)>;

    // Completes the combo's text from its items but the last ignoredAtEnd,
    // starting at firstItem. The object is the combo's child and lives as
    // long as it.
    static CAutoFillCombo* Attach(QComboBox& combo, int ignoredAtEnd, int firstItem);
    ~CAutoFillCombo() override;

    // The key to offer the handler (Qt::Key_Tab: Shift+Tab counts as Tab);
    // an empty handler offers nothing.
    void SetKeyHandler(int key, KeyHandler handler);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CAutoFillCombo(QComboBox& combo, int ignoredAtEnd, int firstItem);
    bool IsWatchedKey(const QKeyEvent& key) const;
    void Complete();

    QComboBox& combo_;
    int ignoredAtEnd_;
    int firstItem_;
    int watchedKey_ = 0;
    KeyHandler handler_;
};

}  // namespace tallowmere::ui
