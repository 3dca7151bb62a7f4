#include "libraryfilter.h"

LibraryFilter::LibraryFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void LibraryFilter::setSourceModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    forgetAll();
    // Connected before the proxy's own handlers, so that the proxy filters a
    // changed or new row with its new text.
    if (model) {
        m_connections << connect(
            model, &QAbstractItemModel::modelAboutToBeReset, this, &LibraryFilter::forgetAll);
        m_connections << connect(
            model, &QAbstractItemModel::modelReset, this, &LibraryFilter::forgetAll);
        m_connections << connect(
            model, &QAbstractItemModel::layoutChanged, this, &LibraryFilter::forgetAll);
        m_connections << connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                if (first > m_folded.size()) {
                    forgetAll();
                    return;
                }
                m_folded.insert(first, last - first + 1, QString());
                m_known.insert(first, last - first + 1, false);
            });
        m_connections << connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                if (last >= m_folded.size()) {
                    forgetAll();
                    return;
                }
                m_folded.remove(first, last - first + 1);
                m_known.remove(first, last - first + 1);
            });
        m_connections << connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                forgetRows(topLeft.row(), bottomRight.row());
            });
    }
    QSortFilterProxyModel::setSourceModel(model);
}

void LibraryFilter::setFilterColumns(const QList<int> &columns)
{
    m_columns = columns;
    forgetAll();
    invalidateFilter();
}

void LibraryFilter::setFilterText(const QString &text)
{
    const QString needle = fold(text.trimmed());
    m_text = text;
    if (needle == m_needle)
        return;
    m_needle = needle;
    invalidateFilter();
}

void LibraryFilter::sort(int column, Qt::SortOrder order)
{
    if (sourceModel())
        sourceModel()->sort(column, order);
}

QVariant LibraryFilter::data(const QModelIndex &index, int role) const
{
    if (role == Qt::BackgroundRole && !m_needle.isEmpty() && index.isValid()
        && sourceModel()->rowCount() > 1) {
        // The library paints every other row grey: take the colour of a row
        // of the same parity as the row shown.
        return sourceModel()->index(index.row() % 2, index.column()).data(role);
    }
    return QSortFilterProxyModel::data(index, role);
}

QString LibraryFilter::fold(const QString &text)
{
    // Most texts are plain ASCII, which has no accents to take off.
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLower();
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            bare.append(c);
    }
    return bare.toCaseFolded();
}

bool LibraryFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_needle.isEmpty())
        return true;
    const int rows = sourceModel()->rowCount(sourceParent);
    if (m_folded.size() != rows) {
        m_folded.resize(rows);
        m_known.fill(false, rows);
    }
    if (!m_known.at(sourceRow)) {
        QString joined;
        for (const int column : m_columns) {
            // A separator no typed text contains keeps two fields from
            // matching across their boundary.
            joined += sourceModel()->index(sourceRow, column, sourceParent).data().toString();
            joined += QChar(0x1F);
        }
        m_folded[sourceRow] = fold(joined);
        m_known[sourceRow] = true;
    }
    return m_folded.at(sourceRow).contains(m_needle);
}

void LibraryFilter::forgetAll()
{
    m_folded.clear();
    m_known.clear();
}

void LibraryFilter::forgetRows(int first, int last)
{
    for (int row = qMax(first, 0); row <= last && row < m_known.size(); ++row)
        m_known[row] = false;
}
