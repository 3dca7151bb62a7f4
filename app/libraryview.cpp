#include "libraryview.h"

#include "usersongsreltablemodel.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMessageBox>
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

void setUp(QTableView *view, UserSongsRelTableModel *model, QAbstractItemModel *shown)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setShowGrid(true);
    view->verticalHeader()->hide();
    view->setAlternatingRowColors(false);
    if (shown)
        view->setModel(shown);
    else
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

void tellDatabaseUnavailable(QWidget *parent)
{
    QMessageBox::critical(parent, QCoreApplication::translate("LibraryView", "Database delle song"),
        QCoreApplication::translate("LibraryView",
            "Impossibile aprire il database delle song. Non è possibile importare, "
            "sincronizzare o trasferire song: riavviare il programma."));
}

} // namespace LibraryView
