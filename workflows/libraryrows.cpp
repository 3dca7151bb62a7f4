#include "libraryrows.h"

#include "usersongsreltablemodel.h"

LibraryRows::LibraryRows(UserSongsRelTableModel &model)
    : m_model(model)
{
}

qint64 LibraryRows::keyOf(int row)
{
    const QVariant key = m_model.data(m_model.rowIndex(row), Qt::DisplayRole);
    bool ok = false;
    const qint64 value = key.toLongLong(&ok);
    return ok ? value : -1;
}

void LibraryRows::rebuild()
{
    m_rows.clear();
    const int count = m_model.goodRowCount();
    m_rows.reserve(count);
    for (int row = 0; row < count; ++row)
        m_rows.insert(keyOf(row), row);
}

QList<qint64> LibraryRows::keys()
{
    QList<qint64> result;
    const int count = m_model.goodRowCount();
    result.reserve(count);
    for (int row = 0; row < count; ++row)
        result.append(keyOf(row));
    return result;
}

int LibraryRows::rowOf(qint64 key)
{
    // The row remembered is checked first: it is right unless the table was
    // sorted or reloaded since.
    const auto known = m_rows.constFind(key);
    if (known != m_rows.constEnd() && keyOf(*known) == key)
        return *known;
    rebuild();
    return m_rows.value(key, -1);
}
