#include "dialoginteraction.h"

#include "backupdialog.h"
#include "dataeditdialog.h"
#include "nocopyrightdialog.h"
#include "proceeddialog.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

DialogInteraction::DialogInteraction(QWidget *window)
    : m_window(window)
{
}

DialogInteraction::~DialogInteraction()
{
    delete m_progress;
}

QStringList DialogInteraction::chooseFiles(
    const QString &title, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileNames(m_window, title, startFolder, filter);
}

QString DialogInteraction::chooseFolder(const QString &caption, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(
        m_window, caption, startFolder, QFileDialog::ShowDirsOnly);
}

QString DialogInteraction::chooseSaveFile(
    const QString &caption, const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(m_window, caption, proposed, filter);
}

UserInteraction::BackupAnswer DialogInteraction::chooseBackup()
{
    BackupDialog dialog(nullptr);
    const int result = dialog.exec();
    BackupAnswer answer;
    answer.choice = result == BackupToFolder ? BackupToFolder
        : result == BackupSkipped            ? BackupSkipped
                                             : BackupCancelled;
    answer.folder = dialog.directory();
    return answer;
}

UserInteraction::SummaryAnswer DialogInteraction::showImportSummary(
    int songs, int makerSongs, int badFiles)
{
    ProceedDialog dialog(m_window);
    dialog.setFilesCount(songs, makerSongs, badFiles);
    SummaryAnswer answer;
    answer.synchronise = dialog.exec() == QDialog::Accepted;
    answer.showAgain = dialog.getShowAgainValue();
    return answer;
}

UserInteraction::FourWayAnswer DialogInteraction::askFourWay(
    const QString &fileName, const QString &message)
{
    NoCopyrightDialog dialog(nullptr);
    dialog.setFilename(fileName);
    if (!message.isEmpty())
        dialog.setMessage(message);
    const int result = dialog.exec();
    return result >= 0 && result <= 3 ? FourWayAnswer(result) : FourWayAnswer::Yes;
}

UserInteraction::Button DialogInteraction::showMessage(
    MessageKind kind, const QString &title, const QString &text, int buttons)
{
    static const QMessageBox::Icon icons[] = { QMessageBox::Information, QMessageBox::Warning,
        QMessageBox::Critical, QMessageBox::Question };
    QMessageBox::StandardButtons standard;
    if (buttons & OkButton)
        standard |= QMessageBox::Ok;
    if (buttons & YesButton)
        standard |= QMessageBox::Yes;
    if (buttons & NoButton)
        standard |= QMessageBox::No;
    if (buttons & CancelButton)
        standard |= QMessageBox::Cancel;
    QMessageBox box(icons[int(kind)], title, text, standard, m_window);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return YesButton;
    case QMessageBox::No:
        return NoButton;
    case QMessageBox::Cancel:
        return CancelButton;
    default:
        return OkButton;
    }
}

UserInteraction::EditAnswer DialogInteraction::editSong(const EditRequest &request)
{
    DataEditDialog own;
    DataEditDialog &dialog = m_editDialog ? *m_editDialog : own;
    dialog.setArtistsCombo(request.artists);
    dialog.setGenresCombo(request.genres);
    dialog.setKeysCombo(request.keys);
    dialog.setOtherInfo(request.info);
    EditAnswer answer;
    answer.info = request.info;
    answer.accepted = dialog.exec() == QDialog::Accepted;
    if (answer.accepted)
        dialog.getInfo(answer.info);
    answer.toAllAuthor = dialog.isApplyToAllAuthor();
    answer.toAllArtist = dialog.isApplyToAllArtist();
    answer.toAllGenre = dialog.isApplyToAllGenre();
    answer.toAllTitleFromFileName = dialog.isApplyToAllFname();
    return answer;
}

void DialogInteraction::processEvents()
{
    QCoreApplication::processEvents();
}

void DialogInteraction::begin(
    const QString &label, const QString &title, int maximum, bool autoClose)
{
    // Each workflow gets a dialog of its own; the one before is done.
    delete m_progress;
    m_progress = new QProgressDialog(label, tr("Interrompi"), 0, maximum, m_window);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setWindowTitle(title);
    m_progress->setAutoClose(autoClose);
    m_progress->setAutoReset(autoClose);
    m_progress->setMinimumDuration(500);
    m_progress->setValue(0);
}

void DialogInteraction::step(int value)
{
    if (!m_progress)
        return;
    m_progress->setLabelText(tr("%1 di %2").arg(value).arg(m_progress->maximum()));
    m_progress->setValue(value);
}

void DialogInteraction::setMaximum(int maximum)
{
    if (m_progress)
        m_progress->setMaximum(maximum);
}

void DialogInteraction::setValue(int value)
{
    if (m_progress)
        m_progress->setValue(value);
}

bool DialogInteraction::wasStopped() const
{
    return m_progress && m_progress->wasCanceled();
}

void DialogInteraction::end()
{
    if (m_progress)
        m_progress->close();
}
