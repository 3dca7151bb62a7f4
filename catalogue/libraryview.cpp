#include "libraryview.h"

#include "usersongsreltablemodel.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTableView>

namespace LibraryView
{

namespace
{
// Columns left at their width: the full path and the status.
const int pathColumn = 9;
const int statusColumn = 11;
const int lastColumn = 11;
} // namespace

void setUp(QTableView *view, UserSongsRelTableModel *model)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setShowGrid(true);
    view->verticalHeader()->hide();
    view->setAlternatingRowColors(false);
    view->setModel(model);

    view->hideColumn(model->colIdxFilename());
    view->hideColumn(model->colIdxStatus());
    view->hideColumn(0);

    fitColumns(view);
}

void fitColumns(QTableView *view)
{
    for (int column = 0; column <= lastColumn; ++column) {
        if (column != pathColumn && column != statusColumn)
            view->resizeColumnToContents(column);
    }
}

} // namespace LibraryView
