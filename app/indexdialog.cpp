#include "indexdialog.h"
#include "ui_indexdialog.h"

#include "appsettings.h"
#include "memoryindexrun.h"
#include "removablevolumes.h"
#include "userinteraction.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

IndexDialog::IndexDialog(UserInteraction &user, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::IndexDialog)
    , m_user(user)
    , m_settings(AppSettings::organisation, AppSettings::application)
{
    ui->setupUi(this);
    setSizeGripEnabled(false);
    ui->lineEditPath->setText(m_settings.value(AppSettings::mediaRootKey).toString());
    connect(ui->pushButtonBrowse, &QPushButton::clicked, this, &IndexDialog::browseDir);
    // The mouse press starts (reading Shift); the keyboard's click too.
    ui->pushButtonStart->installEventFilter(this);
    connect(ui->pushButtonStart, &QPushButton::clicked, this,
        [this] { start(QGuiApplication::keyboardModifiers() != Qt::ShiftModifier); });
}

IndexDialog::~IndexDialog()
{
    delete ui;
}

QString IndexDialog::getRootDrivePath(const QString &path)
{
    return MemoryIndexRun::getRootDrivePath(path);
}

bool IndexDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->pushButtonStart && event->type() == QEvent::MouseButtonPress) {
        if (ui->pushButtonStart->isEnabled())
            start(static_cast<QMouseEvent *>(event)->modifiers() != Qt::ShiftModifier);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void IndexDialog::start(bool toVolumeRoot)
{
    if (m_running)
        return;
    MemoryIndexRun run(m_user);
    connect(&run, &MemoryIndexRun::started, this, &IndexDialog::runStarted);
    connect(&run, &MemoryIndexRun::fileFoundChanged, this, &IndexDialog::updateLabelNum);
    connect(&run, &MemoryIndexRun::progressMaxSetup, this, &IndexDialog::initProgress);
    connect(&run, &MemoryIndexRun::progressValueChanged, this, &IndexDialog::setProgressValue);
    connect(&run, &MemoryIndexRun::currentPathChanged, this, &IndexDialog::updateLabelCurrPath);
    connect(&run, &MemoryIndexRun::errorFromIndex, this, &IndexDialog::errorFromIndexReceived);

    const MemoryIndexRun::OperationEnum operation = ui->radioButtonRebuild->isChecked()
        ? MemoryIndexRun::CreateIndex
        : MemoryIndexRun::UpdateIndex;
    if (run.optimise(ui->lineEditPath->text(), toVolumeRoot, operation)
        == MemoryIndexRun::OptimisePathMissing)
        return;

    ui->plainTextReport->appendPlainText(tr("Operazione completata"));
    m_running = false;
    setButtonsEnabled(true);
}

void IndexDialog::runStarted()
{
    m_running = true;
    setButtonsEnabled(false);
    updateLabelNum(0);
    initProgress(0);
    clearIndexErrors();
    ui->plainTextReport->appendPlainText(tr("Ottimizzazione memoria in corso..."));
}

void IndexDialog::setButtonsEnabled(bool enabled)
{
    ui->pushButtonStart->setEnabled(enabled);
    ui->pushButtonClose->setEnabled(enabled);
}

void IndexDialog::errorFromIndexReceived(const QString &text)
{
    ui->plainTextReport->appendPlainText(text);
    ++errorCount;
}

void IndexDialog::clearIndexErrors()
{
    ui->plainTextReport->clear();
    errorCount = 0;
}

void IndexDialog::updateLabelCurrPath(const QString &path)
{
    ui->labelCurrPath->setText(path);
    QCoreApplication::processEvents();
}

void IndexDialog::updateLabelNum(int n)
{
    ui->labelFileFound->setText(QStringLiteral("%1").arg(n));
    QCoreApplication::processEvents();
}

void IndexDialog::initProgress(int max)
{
    ui->progressBar->setMaximum(max);
    ui->progressBar->setMinimum(0);
    ui->progressBar->setValue(0);
    QCoreApplication::processEvents();
}

void IndexDialog::setProgressValue(int value)
{
    ui->progressBar->setValue(value);
    QCoreApplication::processEvents();
}

void IndexDialog::browseDir()
{
    const QString folder
        = m_user.chooseFolder(tr("Scegli cartella"), RemovableVolumes::defaultFolder());
    if (folder.isEmpty())
        return;
    ui->lineEditPath->setText(folder);
    m_settings.setValue(AppSettings::mediaRootKey, folder);
}

void IndexDialog::on_pushButtonClose_clicked()
{
    done(0);
}

void IndexDialog::reject()
{
    if (!m_running)
        QDialog::reject();
}

void IndexDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
