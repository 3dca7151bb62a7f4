#include "memorywindow.h"

#include "appsettings.h"
#include "indexcheck.h"
#include "memoryindexrun.h"
#include "userinteraction.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

QTreeWidget *songTree(QWidget *parent, const QString &name)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setColumnCount(5);
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    return tree;
}

// The width of the widest text of a field over the songs. Measuring is slow
// on a memory of many thousands of songs: only the texts with the most
// characters are measured, which in the fonts used finds the widest within
// a character or two (the columns get a margin of three).
int widestOf(const QFontMetrics &metrics, const QList<MemoryContents::Song> &songs,
    QString MemoryContents::Song::*field)
{
    constexpr int measured = 200;
    QList<const QString *> texts;
    texts.reserve(songs.size());
    for (const MemoryContents::Song &song : songs)
        texts.append(&(song.*field));
    if (texts.size() > measured) {
        std::nth_element(texts.begin(), texts.begin() + measured, texts.end(),
            [](const QString *a, const QString *b) { return a->size() > b->size(); });
        texts.resize(measured);
    }
    int widest = 0;
    for (const QString *text : std::as_const(texts))
        widest = qMax(widest, metrics.horizontalAdvance(*text));
    return widest;
}

} // namespace

MemoryWindow::MemoryWindow(UserInteraction &user, QWidget *parent)
    : QDialog(parent)
    , m_user(user)
    , m_settings(AppSettings::organisation, AppSettings::application)
{
    setObjectName(QStringLiteral("MemoryWindow"));
    resize(900, 640);

    m_memoryLabel = new QLabel(this);
    m_pathEdit = new QLineEdit(this);
    m_pathEdit->setObjectName(QStringLiteral("pathLineEdit"));
    m_pathEdit->setReadOnly(true);
    m_browseButton = new QPushButton(this);
    m_browseButton->setObjectName(QStringLiteral("browsePushButton"));
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_memoryLabel);
    pathRow->addWidget(m_pathEdit, 1);
    pathRow->addWidget(m_browseButton);

    m_summaryLabel = new QLabel(this);
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_summaryLabel->setWordWrap(true);

    m_setLabel = new QLabel(this);
    m_setCombo = new QComboBox(this);
    m_setCombo->setObjectName(QStringLiteral("setComboBox"));
    m_setCombo->addItems({ QString(), QString() });
    auto *setRow = new QHBoxLayout;
    setRow->addWidget(m_setLabel);
    setRow->addWidget(m_setCombo);
    setRow->addStretch(1);

    m_tabs = new QTabWidget(this);
    m_titleTree = songTree(m_tabs, QStringLiteral("titleTree"));
    m_titleTree->setRootIsDecorated(false);
    m_artistTree = songTree(m_tabs, QStringLiteral("artistTree"));
    m_genreTree = songTree(m_tabs, QStringLiteral("genreTree"));
    m_playlistTree = songTree(m_tabs, QStringLiteral("playlistTree"));
    m_findingsList = new QListWidget(m_tabs);
    m_findingsList->setObjectName(QStringLiteral("findingsList"));
    m_findingsList->setWordWrap(true);
    for (QWidget *page : { static_cast<QWidget *>(m_titleTree),
             static_cast<QWidget *>(m_artistTree), static_cast<QWidget *>(m_genreTree),
             static_cast<QWidget *>(m_playlistTree), static_cast<QWidget *>(m_findingsList) })
        m_tabs->addTab(page, QString());

    m_updateButton = new QPushButton(this);
    m_updateButton->setObjectName(QStringLiteral("updatePushButton"));
    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("closePushButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_updateButton);
    buttons->addStretch(1);
    buttons->addWidget(m_closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(pathRow);
    layout->addWidget(m_summaryLabel);
    layout->addLayout(setRow);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(m_browseButton, &QPushButton::clicked, this, &MemoryWindow::browse);
    connect(m_updateButton, &QPushButton::clicked, this, &MemoryWindow::updateIndex);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_setCombo, &QComboBox::currentIndexChanged, this, &MemoryWindow::fill);

    retranslate();
    showMemory(m_settings.value(AppSettings::mediaRootKey).toString());
}

void MemoryWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        fill();
    }
}

void MemoryWindow::retranslate()
{
    setWindowTitle(tr("Memoria di Quenor"));
    m_memoryLabel->setText(tr("Memoria:"));
    m_browseButton->setText(tr("Sfoglia..."));
    m_setLabel->setText(tr("Elenco:"));
    m_setCombo->setItemText(MemoryContents::AllSongs, tr("Tutte le song"));
    m_setCombo->setItemText(MemoryContents::Mp3Songs, tr("Solo MP3"));
    m_tabs->setTabText(0, tr("Per titolo"));
    m_tabs->setTabText(1, tr("Per artista"));
    m_tabs->setTabText(2, tr("Per genere"));
    m_tabs->setTabText(3, tr("Playlist"));
    m_tabs->setTabText(4, tr("Controllo indice"));
    const QStringList songHeaders
        = { tr("Titolo"), tr("Percorso"), tr("Tempo"), tr("Tipo"), tr("Marker") };
    m_titleTree->setHeaderLabels(songHeaders);
    QStringList groupHeaders = songHeaders;
    groupHeaders[0] = tr("Artista / titolo");
    m_artistTree->setHeaderLabels(groupHeaders);
    groupHeaders[0] = tr("Genere / titolo");
    m_genreTree->setHeaderLabels(groupHeaders);
    groupHeaders[0] = tr("Playlist / titolo");
    m_playlistTree->setHeaderLabels(groupHeaders);
    m_updateButton->setText(tr("Aggiorna indice"));
    m_closeButton->setText(tr("Chiudi"));
}

void MemoryWindow::browse()
{
    const QString start = m_pathEdit->text().isEmpty() ? QDir::homePath() : m_pathEdit->text();
    const QString folder = m_user.chooseFolder(tr("Scegli la memoria di Quenor"), start);
    if (folder.isEmpty())
        return;
    m_settings.setValue(AppSettings::mediaRootKey, folder);
    showMemory(folder);
}

void MemoryWindow::showMemory(const QString &root)
{
    m_pathEdit->setText(root);
    m_findings.clear();
    m_songWidths.clear();
    m_contents = MemoryContents();
    const bool exists = !root.isEmpty() && QFileInfo(root).isDir();
    m_updateButton->setEnabled(exists);
    if (exists) {
        m_contents.load(root);
        IndexCheck check(root);
        if (!check.run()) {
            for (const IndexCheck::Problem &problem : check.problems())
                m_findings.append(problem.text);
        }
    }
    fill();
}

QStringList MemoryWindow::findings() const
{
    QStringList shown;
    for (int row = 0; row < m_findingsList->count(); ++row)
        shown.append(m_findingsList->item(row)->text());
    return shown;
}

void MemoryWindow::fill()
{
    for (QTreeWidget *tree : { m_titleTree, m_artistTree, m_genreTree, m_playlistTree })
        tree->clear();
    m_findingsList->clear();

    switch (m_contents.state()) {
    case MemoryContents::Empty:
        m_summaryLabel->setText(m_pathEdit->text().isEmpty()
                ? tr("Scegliere la cartella della memoria con \"Sfoglia...\".")
                : tr("La cartella scelta non esiste."));
        return;
    case MemoryContents::NotPrepared:
        m_summaryLabel->setText(tr("La memoria non è preparata: mancano i file dell'indice. "
                                   "\"Aggiorna indice\" la prepara."));
        break;
    case MemoryContents::Unreadable:
        m_summaryLabel->setText(tr("L'indice della memoria è danneggiato e non si può leggere. "
                                   "Rigenerarlo con \"Rigenera il database delle song\"."));
        break;
    case MemoryContents::Prepared: {
        const MemoryContents::SongSet &mp3 = m_contents.songSet(MemoryContents::Mp3Songs);
        m_summaryLabel->setText(tr("%1 song, di cui %2 MP3; %3 playlist.")
                                    .arg(m_contents.songs().size())
                                    .arg(mp3.byTitle.size())
                                    .arg(m_contents.playlists().size()));
        const MemoryContents::SongSet &set
            = m_contents.songSet(MemoryContents::SetEnum(qMax(0, m_setCombo->currentIndex())));
        fillSongs(m_titleTree, set.byTitle);
        fillGroups(m_artistTree, set.byArtist);
        fillGroups(m_genreTree, set.byGenre);
        fillPlaylists();
        break;
    }
    }

    if (m_findings.isEmpty())
        m_findingsList->addItem(tr("Nessun problema trovato"));
    else
        m_findingsList->addItems(m_findings);
}

void MemoryWindow::fillSongs(QTreeWidget *tree, const QList<int> &songs)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(songs.size());
    const QString yes = tr("Sì");
    for (const int index : songs) {
        const MemoryContents::Song &song = m_contents.songs().at(index);
        items.append(new QTreeWidgetItem({ song.title, song.path, QString::number(song.bpm),
            MemoryContents::typeName(song.type), song.markers ? yes : QString() }));
    }
    tree->addTopLevelItems(items);
    fitColumns(tree);
}

void MemoryWindow::fillGroups(QTreeWidget *tree, const QList<MemoryContents::Group> &groups)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(groups.size());
    const QString yes = tr("Sì");
    for (const MemoryContents::Group &group : groups) {
        auto *item
            = new QTreeWidgetItem({ tr("%1 (%2)")
                                        .arg(group.name.isEmpty() ? tr("(vuoto)") : group.name)
                                        .arg(group.songs.size()) });
        for (const int index : group.songs) {
            const MemoryContents::Song &song = m_contents.songs().at(index);
            item->addChild(new QTreeWidgetItem({ song.title, song.path, QString::number(song.bpm),
                MemoryContents::typeName(song.type), song.markers ? yes : QString() }));
        }
        items.append(item);
    }
    tree->addTopLevelItems(items);
    fitColumns(tree);
}

void MemoryWindow::fillPlaylists()
{
    const QString yes = tr("Sì");
    for (const MemoryContents::Playlist &playlist : m_contents.playlists()) {
        auto *item = new QTreeWidgetItem(m_playlistTree,
            { playlist.readable ? tr("Playlist %1").arg(playlist.number)
                                : tr("Playlist %1 (file mancante)").arg(playlist.number) });
        for (const int index : playlist.songs) {
            if (index < 0) {
                item->addChild(new QTreeWidgetItem({ tr("nessuna song") }));
                continue;
            }
            const MemoryContents::Song &song = m_contents.songs().at(index);
            item->addChild(new QTreeWidgetItem({ song.title, song.path, QString::number(song.bpm),
                MemoryContents::typeName(song.type), song.markers ? yes : QString() }));
        }
        item->setExpanded(true);
    }
    fitColumns(m_playlistTree);
}

void MemoryWindow::fitColumns(QTreeWidget *tree)
{
    // The view would size a column from the rows it shows; the songs of
    // closed groups count too, so that opening a group clips nothing. The
    // songs' widths are measured once per memory (every list shows the same
    // songs), the group names per list.
    const QFontMetrics metrics(tree->font());
    const int indent = tree->indentation();
    if (m_songWidths.isEmpty()) {
        m_songWidths = { 0, 0, metrics.horizontalAdvance(QStringLiteral("000")),
            metrics.horizontalAdvance(QStringLiteral("UNKNOWN")),
            metrics.horizontalAdvance(tr("Sì")) };
        m_songWidths[0] = widestOf(metrics, m_contents.songs(), &MemoryContents::Song::title);
        m_songWidths[1] = widestOf(metrics, m_contents.songs(), &MemoryContents::Song::path);
    }
    QVector<int> widths(tree->columnCount(), 0);
    for (int column = 0; column < tree->columnCount(); ++column)
        widths[column] = qMax(metrics.horizontalAdvance(tree->headerItem()->text(column)),
            m_songWidths.value(column) + (column == 0 ? 2 * indent : 0));
    for (int top = 0; top < tree->topLevelItemCount(); ++top)
        widths[0]
            = qMax(widths[0], metrics.horizontalAdvance(tree->topLevelItem(top)->text(0)) + indent);
    const int margin = metrics.averageCharWidth() * 3;
    for (int column = 0; column < tree->columnCount(); ++column)
        tree->setColumnWidth(column, widths[column] + margin);
}

bool MemoryWindow::updateIndex()
{
    const QString root = m_pathEdit->text();
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return false;
    m_updateButton->setEnabled(false);
    ProgressReporter &progress = m_user.progress();
    progress.begin(tr("Aggiornamento indice..."), tr("Aggiornamento"), 0, false);
    MemoryIndexRun run(m_user);
    auto show = [this, &progress](int value) {
        progress.setValue(value);
        m_user.processEvents();
    };
    connect(&run, &MemoryIndexRun::fileFoundChanged, this, show);
    connect(&run, &MemoryIndexRun::progressValueChanged, this, show);
    connect(&run, &MemoryIndexRun::progressMaxSetup, this, [this, &progress](int maximum) {
        progress.setMaximum(maximum);
        m_user.processEvents();
    });
    connect(&run, &MemoryIndexRun::currentPathChanged, this, [this] { m_user.processEvents(); });
    const bool ok
        = run.run(root, MemoryIndexRun::UpdateIndex, [&progress] { return progress.wasStopped(); });
    progress.end();
    if (!run.wasStopped()) {
        if (ok)
            m_user.showMessage(UserInteraction::MessageKind::Information, tr("Memoria di Quenor"),
                tr("L'indice della memoria è aggiornato."));
        else
            m_user.showMessage(UserInteraction::MessageKind::Critical, tr("Memoria di Quenor"),
                tr("Non è stato possibile aggiornare l'indice della memoria."));
    }
    showMemory(root);
    return ok;
}
