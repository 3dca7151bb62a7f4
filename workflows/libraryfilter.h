#pragma once

#include <QList>
#include <QSortFilterProxyModel>
#include <QString>
#include <QVector>

// Sits between the library table and its view and shows only the rows whose
// chosen columns (title, artist, genre, author, file name) contain the typed
// text, ignoring letter case and accents ("citta" finds "Città").
//
// It only narrows what is shown: the workflows keep working on the library
// model itself, on every row. A header click still sorts the library model
// (the proxy keeps the model's order), so the table behaves as without it.
// The folded text of each row is kept until the row changes, so a keystroke
// on a large library compares strings only.
class LibraryFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LibraryFilter(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *model) override;
    // The source columns searched.
    void setFilterColumns(const QList<int> &columns);
    // Shows the rows holding text; an empty (or blank) text shows them all.
    void setFilterText(const QString &text);
    QString filterText() const { return m_text; }

    // Sorts the library model, not the proxy.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Keeps the table's grey stripes alternating over the rows shown.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Lower case without accents: the form both sides are compared in.
    static QString fold(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void forgetAll();
    void forgetRows(int first, int last);

    QList<int> m_columns;
    QString m_text;
    QString m_needle;
    // The folded, joined texts of each source row; empty until needed.
    mutable QVector<QString> m_folded;
    mutable QVector<bool> m_known;
    QList<QMetaObject::Connection> m_connections;
};
