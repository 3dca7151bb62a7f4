#pragma once

#include "memorycontents.h"

#include <QDialog>
#include <QSettings>
#include <QStringList>
#include <QVector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class UserInteraction;

// "Mostra memoria...": what the device will list from a prepared memory, read
// back from its index files (songs by title, artist and genre, all songs or
// the MP3 songs alone, and the playlists), with the findings of the index
// self-check. The memory is only read; "Aggiorna indice" is the one thing that
// writes to it.
class MemoryWindow : public QDialog
{
    Q_OBJECT

public:
    explicit MemoryWindow(UserInteraction &user, QWidget *parent = nullptr);

    // Reads the memory at root and shows it; the "mediaroot" setting is the
    // default memory at construction.
    void showMemory(const QString &root);
    const MemoryContents &contents() const { return m_contents; }
    // The self-check's findings as listed ("Nessun problema trovato" alone
    // when there are none).
    QStringList findings() const;
    // Runs the index update of the memory shown, then shows it again; true
    // when the memory is prepared afterwards.
    bool updateIndex();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void browse();
    void fill();
    void fillSongs(QTreeWidget *tree, const QList<int> &songs);
    void fillGroups(QTreeWidget *tree, const QList<MemoryContents::Group> &groups);
    void fillPlaylists();
    void fitColumns(QTreeWidget *tree);

    UserInteraction &m_user;
    QSettings m_settings;
    MemoryContents m_contents;
    QStringList m_findings;
    // Widest title, path, tempo, type and markers text of the memory's songs.
    QVector<int> m_songWidths;

    QLabel *m_memoryLabel;
    QLineEdit *m_pathEdit;
    QPushButton *m_browseButton;
    QLabel *m_summaryLabel;
    QLabel *m_setLabel;
    QComboBox *m_setCombo;
    QTabWidget *m_tabs;
    QTreeWidget *m_titleTree;
    QTreeWidget *m_artistTree;
    QTreeWidget *m_genreTree;
    QTreeWidget *m_playlistTree;
    QListWidget *m_findingsList;
    QPushButton *m_updateButton;
    QPushButton *m_closeButton;
};
