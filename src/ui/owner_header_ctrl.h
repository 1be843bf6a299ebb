#pragma once
// COwnerHeaderCtrl: the flat header of the owner-drawn lists. Every section
// is painted here: a near-white fill, the title (or an image) 6 pixels in,
// a thin separator, the sort arrow on the sorted column, and three lines
// that close the bottom. Sections are told apart by their column id (the
// model's COwnerListModel::kColumnIdRole), never by position.
#include <QHeaderView>
#include <cstdint>

namespace tallowmere::ui {

class CIconList;

class COwnerHeaderCtrl final : public QHeaderView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COwnerHeaderCtrl)

  public:
    explicit COwnerHeaderCtrl(QWidget* parent = nullptr);
    ~COwnerHeaderCtrl() override;

    // The strip of the section images and the sort arrows (images 8 and 9);
    // none draws neither. The caller keeps it.
    void SetIconList(const CIconList* strip);
    const CIconList* GetIconList() const { return strip_; }
    // The sorted column by id; -1 for none.
    void SetSortColumn(int columnId);
    int GetSortColumn() const { return sortColumn_; }
    // Non-zero: the ascending arrow (image 8); 0 the other (image 9).
    void SetSortDirection(std::uint8_t direction);
    std::uint8_t GetSortDirection() const { return sortDirection_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

  private:
    const CIconList* strip_ = nullptr;
    int sortColumn_ = -1;
    std::uint8_t sortDirection_ = 1;
};

// One header section as COwnerHeaderCtrl paints it (also the view's pane
// header). image < 0 draws the text; sortArrow < 0 draws no arrow.
void PaintHeaderSection(QPainter& painter, const QRect& rect, const QString& text, int image,
                        int sortArrow, const CIconList* strip);

}  // namespace tallowmere::ui
