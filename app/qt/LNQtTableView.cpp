#include "LNQtTableView.h"

#include "LNQtStrings.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <numeric>

namespace kinloom {

namespace {

std::vector<LNQtTableColumn*> pointersTo(const std::vector<std::unique_ptr<LNQtTableColumn>>& columns) {
    std::vector<LNQtTableColumn*> pointers;
    for (const auto& column : columns)
        pointers.push_back(column.get());
    return pointers;
}

} // namespace

LNQtTableView::LNQtTableView(LNWindow* window, std::vector<std::unique_ptr<LNQtTableColumn>> columns,
                             QWidget* parent)
    : QTableView(parent), window_(window), columns_(std::move(columns)),
      model_(new LNQtTableModel(this, pointersTo(columns_), this)), grid_(new LNQtGridDelegate(this)) {
    setModel(model_);
    setItemDelegate(grid_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setStretchLastSection(true);
    for (std::size_t i = 0; i < columns_.size(); ++i)
        setColumnWidth(static_cast<int>(i), columns_[i]->width());

    connect(this, &QTableView::clicked, this, &LNQtTableView::cellClicked);
    connect(header, &QHeaderView::sectionClicked, this, &LNQtTableView::headerClicked);
}

void LNQtTableView::reloadData() {
    LNIndexSet selected;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        selected.insert(index.row());
    // A reset forgets the selection; rows that are still there stay selected.
    if (model_->reload()) {
        fitColumns();
        selectRowIndexes(selected, false);
    }
    viewport()->update();
}

void LNQtTableView::fitColumns() {
    const int rows = model_->rowCount();
    if (rows == 0) return;
    // About 200 rows spread over the table and the last: a big file does
    // not pay for measuring every cell.
    std::vector<int> sample;
    for (int row = 0; row < rows; row += std::max(1, rows / 200))
        sample.push_back(row);
    sample.push_back(rows - 1);
    const QFontMetrics metrics = fontMetrics();
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 6;
    const int widest = 45 * metrics.averageCharWidth();
    auto textWidth = [&](const QString& text) { return metrics.horizontalAdvance(text) + margins; };
    // Each column's width for its widest text, and for nine in ten of its texts.
    std::vector<int> widths, usual;
    for (int section = 0; section < model_->columnCount(); ++section) {
        const int header = horizontalHeader()->sectionSizeHint(section);
        if (model_->column(section)->fitsLongest()) {
            widths.push_back(std::max(header, textWidth(model_->longestText(section))));
            usual.push_back(widths.back());
            continue;
        }
        std::vector<int> texts;
        for (int row : sample)
            texts.push_back(textWidth(model_->data(model_->index(row, section)).toString()));
        std::sort(texts.begin(), texts.end());
        widths.push_back(std::min(std::max(header, texts.back()), widest));
        usual.push_back(std::min(widths.back(), std::max(header, texts[texts.size() * 9 / 10])));
    }
    // Where the widest texts would push the last columns out of sight, the
    // columns with the most room to spare beyond their usual texts give it up
    // first; a cut cell shows its whole text as a tooltip.
    int excess = std::accumulate(widths.begin(), widths.end(), 0) - viewport()->width();
    while (excess > 0) {
        std::size_t most = 0;
        for (std::size_t i = 1; i < widths.size(); ++i)
            if (widths[i] - usual[i] > widths[most] - usual[most]) most = i;
        const int spare = std::min(excess, widths[most] - usual[most]);
        if (spare <= 0) break;
        widths[most] -= spare;
        excess -= spare;
    }
    for (std::size_t section = 0; section < widths.size(); ++section)
        setColumnWidth(static_cast<int>(section), widths[section]);
}

std::vector<LNTableColumn*> LNQtTableView::tableColumns() const {
    std::vector<LNTableColumn*> columns;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        if (LNQtTableColumn* column = model_->column(header->logicalIndex(visual))) columns.push_back(column);
    }
    return columns;
}

int LNQtTableView::selectedRow() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) return -1;
    int first = rows.front().row();
    for (const QModelIndex& index : rows)
        first = std::min(first, index.row());
    return first;
}

int LNQtTableView::anchorSection() const {
    QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : horizontalHeader()->logicalIndex(0);
}

void LNQtTableView::scrollRowToVisible(int row) {
    QModelIndex index = model_->index(row, anchorSection());
    if (!index.isValid()) return;
    int across = horizontalScrollBar()->value();
    scrollTo(index, QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(across);
}

void LNQtTableView::selectRowIndexes(const LNIndexSet& rows, bool byExtendingSelection) {
    QItemSelection selection;
    for (int row : rows) {
        if (row < 0 || row >= model_->rowCount()) continue;
        selection.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
    }
    auto command = byExtendingSelection ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect;
    selectionModel()->select(selection, command | QItemSelectionModel::Rows);
    if (selection.isEmpty()) return;
    // Keyboard moves go on from the selected row. Making it current would
    // scroll to it; selecting does not scroll, scrollRowToVisible does.
    QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    selectionModel()->setCurrentIndex(model_->index(*rows.rbegin(), anchorSection()),
                                      QItemSelectionModel::NoUpdate);
    horizontalScrollBar()->setValue(scrolled.x());
    verticalScrollBar()->setValue(scrolled.y());
}

void LNQtTableView::setHighlightedTableColumn(LNTableColumn* column) {
    model_->setHighlightedSection(model_->section(column));
}

void LNQtTableView::setIndicatorImage(const std::optional<LNImage>& image, LNTableColumn* column) {
    if (image)
        indicators_.insert_or_assign(column, *image);
    else
        indicators_.erase(column);
    showIndicator();
}

void LNQtTableView::showIndicator() {
    // A QHeaderView shows one indicator at most; the logic never sets two.
    QHeaderView* header = horizontalHeader();
    for (const auto& [column, image] : indicators_) {
        int section = model_->section(column);
        if (section < 0) continue;
        bool ascending = image.name() != LNImage::descendingSortIndicator;
        header->setSortIndicator(section, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        return;
    }
    header->setSortIndicator(-1, Qt::AscendingOrder);
}

void LNQtTableView::setAllowsColumnReordering(bool allows) {
    horizontalHeader()->setSectionsMovable(allows);
}

void LNQtTableView::setGridStyleMask(unsigned mask) {
    grid_->setGridStyleMask(mask);
    viewport()->update();
}

void LNQtTableView::setGridColor(const LNColor& color) {
    grid_->setGridColor(toQColor(color));
    viewport()->update();
}

int LNQtTableView::visualColumn(StringView identifier) const {
    for (int section = 0; section < model_->columnCount(); ++section) {
        if (model_->column(section)->identifier() == identifier)
            return horizontalHeader()->visualIndex(section);
    }
    return -1;
}

QModelIndex LNQtTableView::cellIndex(int row, int visualColumn) const {
    return model_->index(row, horizontalHeader()->logicalIndex(visualColumn));
}

void LNQtTableView::cellClicked(const QModelIndex& index) {
    clickedRow_ = index.isValid() ? index.row() : -1;
    clickedColumn_ = index.isValid() ? horizontalHeader()->visualIndex(index.column()) : -1;
    Q_EMIT action();
}

void LNQtTableView::headerClicked(int section) {
    // The header has just flipped its own indicator; the logic decides which
    // one shows, so the last one it set comes back before it is asked.
    showIndicator();
    LNQtTableColumn* column = model_->column(section);
    if (delegate_ && column) delegate_->didClickTableColumn(this, column);
}

} // namespace kinloom
