#include "frmSplash.h"

#include "AppSettings.h"
#include "AppState.h"
#include "DataFolder.h"
#include "MessageService.h"
#include "PasswordKeyring.h"
#include "SharedPhotos.h"
#include "StartupWindow.h"
#include "WaitCursor.h"
#include "mDatabase.h"
#include "mFunctions.h"
#include "modRegistry.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace {

const QString kCannotStart = QStringLiteral("\r\n\r\nThe application can not start.");

} // namespace

frmSplash::frmSplash(AppState &state, StartupWindow &main, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_state(state), m_main(main),
      m_keyring(new PasswordKeyring(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Velkin Tree"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(250, 248, 240));
    setPalette(palette);

    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(28, 24, 28, 18);

    m_title = new QLabel(QStringLiteral("Velkin Tree v 2.3"), frame);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setStyleSheet(QStringLiteral("color: rgb(27, 94, 32);"));
    m_title->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_title);
    layout->addStretch(1);

    m_status = new QLabel(QStringLiteral("Initializing ..."), frame);
    m_status->setObjectName(QStringLiteral("lblSplash"));
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(m_status);
    setFixedSize(380, 150);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_state.TwipsPerPixel = ScreenTwipsPerPixel();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::RunStartupStep);
    m_timer->start();
}

frmSplash::~frmSplash() = default;

QString frmSplash::StatusText() const
{
    return m_status->text();
}

void frmSplash::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->repaint();
}

void frmSplash::RunStartupStep()
{
    if (m_failed || m_step > 5)
        return;
    try {
        runStep(m_step);
    } catch (const std::exception &error) {
        FailStartup(kErrGeneralFailure, QString::fromLocal8Bit(error.what()));
    }
}

void frmSplash::runStep(int step)
{
    switch (step) {
    case 0: {
        setStatus(QStringLiteral("Initializing ..."));
        if (m_state.DataPath.isEmpty())
            m_state.DataPath = ChooseDataFolder(m_state.ProgramPath);
        if (m_state.MachineSettingsFile.isEmpty())
            m_state.MachineSettingsFile = DefaultMachineSettingsFile();
        if (m_state.UserSettingsFile.isEmpty())
            m_state.UserSettingsFile = DefaultUserSettingsFile();
        // Only read here: nothing is written until the main window is up.
        modRegistry registry = AppSettings::Registry(m_state);
        const WindowPlacement placement =
            AppSettings::Load(registry, m_state, AppSettings::ScreensTwips(m_state.TwipsPerPixel));
        m_left = placement.Left;
        m_top = placement.Top;
        m_width = placement.Width;
        m_height = placement.Height;
        m_windowState = placement.State;
        MakePath(m_state.DataPath);
        break;
    }
    case 1: {
        setStatus(QStringLiteral("Applying settings ..."));
        WindowPlacement placement;
        placement.Left = m_left;
        placement.Top = m_top;
        placement.Width = m_width;
        placement.Height = m_height;
        placement.State = m_windowState;
        m_main.ApplyPlacement(placement);
        m_main.ApplyViewSettings();
        break;
    }
    case 2: {
        setStatus(QStringLiteral("Connecting to database ..."));
        const StorePaths paths = m_main.Store().BuildConnectionString(m_state.DataPath);
        m_state.DatabasePath = paths.DatabasePath;
        m_state.ConnectionString = paths.ConnectionString;
        break;
    }
    case 3:
        if (!connectShared())
            return; // the keyring is asked: the step runs again with its answer
        if (!m_main.Store().IsOpen() && !m_main.Store().OpenDatabase()) {
            setStatus(QStringLiteral("Connection = Failed"));
            m_timer->stop();
            QCoreApplication::processEvents();
            m_failed = true;
            // What failed, naming the folder or file that is the problem.
            const QString reason = m_main.Store().OpenError().text();
            ShowMessage(QStringLiteral("Failed to connect to the database.") +
                            (reason.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + reason) +
                            kCannotStart,
                        QStringLiteral("Security error: 1202"), MsgIcon::Critical,
                        MsgButtons::OkOnly, this);
            UnloadAllForms();
            emit StartupFailed();
            return; // the counter stays
        }
        setStatus(QStringLiteral("Connection = Successful"));
        break;
    case 4:
        setStatus(QStringLiteral("Retrieving data ..."));
        m_main.ListTrees();
        m_main.LoadLastOpen();
        break;
    case 5:
        m_timer->stop();
        close();
        QCoreApplication::processEvents();
        m_main.ShowStarted();
        QCoreApplication::processEvents();
        m_step = 6;
        {
            modRegistry registry = AppSettings::Registry(m_state);
            AppSettings::CompleteStore(registry, m_state.TwipsPerPixel);
            m_state.Settings.Sync();
        }
        m_main.ShowDataNotice();
        emit StartupFinished();
        return;
    default:
        return;
    }
    ++m_step;
}

bool frmSplash::connectShared()
{
    // The shared database used last, when it can be opened; else, after saying why, the data
    // folder's.
    const Result<ServerAddress> shared = ParseServerAddress(m_state.SharedDatabase);
    if (m_state.SharedDatabase.isEmpty() || !shared)
        return true;
    const Result<ServerAddress> kept = ParseServerAddress(m_state.SharedKeyringAddress);
    const bool inKeyring = !m_state.SharedKeyringAddress.isEmpty() && kept &&
                           PasswordKeyring::EntryOf(*kept) == PasswordKeyring::EntryOf(*shared);
    if (inKeyring && m_keyringState == Keyring::NotAsked) {
        // The keyring answers later (it may ask the user to unlock it first): the steps wait,
        // the windows stay alive.
        m_keyringState = Keyring::Asking;
        const bool running = m_timer->isActive();
        m_timer->stop();
        m_busy = std::make_unique<WaitCursor>();
        setStatus(QStringLiteral("Reading the password from the keyring ..."));
        m_keyring->ReadWithin(PasswordKeyring::EntryOf(*shared), PasswordKeyring::kWaitLimit,
                              [this, running](const PasswordKeyring::Answer &answer) {
                                  m_keyringState = Keyring::Answered;
                                  m_keyringAnswer = int(answer.state);
                                  m_password = answer.password;
                                  m_busy.reset();
                                  if (running)
                                      m_timer->start();
                              });
        return false;
    }
    if (m_keyringState == Keyring::Asking)
        return false;
    setStatus(QStringLiteral("Connecting to database ..."));
    // Without a password from the keyring the server library reads the password file.
    m_main.Store().SetServer(*shared, std::exchange(m_password, QString()));
    const Result<void> opened = [this] {
        const WaitCursor busy;
        return m_main.Store().OpenDatabase();
    }();
    if (!opened) {
        const auto keyring =
            inKeyring ? PasswordKeyring::State(m_keyringAnswer) : PasswordKeyring::State::NotFound;
        ShowMessage(PasswordKeyring::OpenFailureText(opened.error(), keyring) +
                        QStringLiteral("\r\n\r\nThe database of this computer is used."),
                    QStringLiteral("Shared Database"), MsgIcon::Exclamation, MsgButtons::OkOnly,
                    this);
        m_main.Store().SetLocal();
        m_state.SharedDatabase.clear();
    } else if (const QString photos = SharedPhotos::Apply(
                   m_main.Store(),
                   m_state.SharedPhotoFolderFor == SharedPhotos::DatabaseEntry(*shared)
                       ? m_state.SharedPhotoFolder
                       : QString(),
                   m_state.DataPath);
               !photos.isEmpty()) {
        ShowMessage(photos, QStringLiteral("Shared Database"), MsgIcon::Exclamation,
                    MsgButtons::OkOnly, this);
    }
    return true;
}

void frmSplash::FailStartup(long long number, const QString &description)
{
    m_timer->stop();
    m_failed = true;
    ShowMessage(description + kCannotStart, QStringLiteral("Error: ") + QString::number(number),
                MsgIcon::Critical, MsgButtons::OkOnly, this);
    UnloadAllForms();
    emit StartupFailed();
}
