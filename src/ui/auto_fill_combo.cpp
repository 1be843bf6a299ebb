#include "ui/auto_fill_combo.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <utility>

namespace tallowmere::ui {

CAutoFillCombo::CAutoFillCombo(QComboBox& combo, int ignoredAtEnd, int firstItem)
    : QObject(&combo), combo_(combo), ignoredAtEnd_(ignoredAtEnd), firstItem_(firstItem) {
    // Qt's own completer would put an item's case over what was typed, and
    // Enter would insert the typed text as a new item.
    combo_.setCompleter(nullptr);
    combo_.setInsertPolicy(QComboBox::NoInsert);
    combo_.installEventFilter(this);
}

CAutoFillCombo* CAutoFillCombo::Attach(QComboBox& combo, int ignoredAtEnd, int firstItem) {
    return new CAutoFillCombo(combo, ignoredAtEnd, firstItem);  // owned by the combo
}

CAutoFillCombo::~CAutoFillCombo() = default;

void CAutoFillCombo::SetKeyHandler(int key, KeyHandler handler) {
    watchedKey_ = key;
    handler_ = std::move(handler);
}

bool CAutoFillCombo::IsWatchedKey(const QKeyEvent& key) const {
    if (key.key() == watchedKey_)
        return true;
    return watchedKey_ == Qt::Key_Tab && key.key() == Qt::Key_Backtab;
}

bool CAutoFillCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &combo_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);

    // Before the dialog moves the focus.
    if (handler_ && IsWatchedKey(key))
        return handler_(watchedKey_);

    // A typed character: the combo inserts it first, then the text is
    // completed. Backspace, Delete and Enter carry no printable text, and
    // chords are commands: they go their normal way.
    const QString text = key.text();
    const bool chord =
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) !=
        Qt::NoModifier;
    if (combo_.lineEdit() == nullptr || chord || text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); }))
        return QObject::eventFilter(watched, event);
    static_cast<QObject&>(combo_).event(event);
    Complete();
    return true;
}

void CAutoFillCombo::Complete() {
    QLineEdit* edit = combo_.lineEdit();
    const QString typed = edit->text();
    const qsizetype n = typed.size();
    if (n == 0)
        return;
    const int end = combo_.count() - ignoredAtEnd_;
    for (int i = std::max(firstItem_, 0); i < end; ++i) {
        const QString item = combo_.itemText(i);
        if (item.size() <= n || QStringView(item).left(n).compare(typed, Qt::CaseInsensitive) != 0)
            continue;
        edit->setText(typed + item.mid(n));
        edit->setSelection(static_cast<int>(n), static_cast<int>(item.size() - n));
        return;
    }
}

}  // namespace tallowmere::ui
