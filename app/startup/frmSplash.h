#pragma once

#include <QWidget>

#include <memory>

class PasswordKeyring;
class QLabel;
class QTimer;
class StartupWindow;
class WaitCursor;
struct AppState;

// The splash window: a title, one status line and a timer that runs the six start-up steps,
// one per tick: read the settings, apply them to the main window, build the connection string,
// connect to the database, fill the tree box and reopen the last tree, and show the main window.
// Only the last step, once the main window is up, writes to the settings (the first-run values
// that are missing) and tells the user when the database is read-only. The shared database
// used last is connected with the password the desktop keyring keeps for it: the connect step
// waits for the keyring (busy pointer, the timer stopped, the windows alive) at most
// PasswordKeyring::kWaitLimit milliseconds, then goes on with the password or without it (the
// password file; else the local database, after a message).
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    // Takes TwipsPerPixel from the screen and starts Timer1.
    frmSplash(AppState &state, StartupWindow &main, QWidget *parent = nullptr);
    ~frmSplash() override;

    // Runs the step the counter selects and advances the counter (not after a failed connection
    // or the last step). Errors inside a step end start-up through FailStartup.
    void RunStartupStep();
    int Step() const { return m_step; }

    // The start-up error handler: "<description>\r\n\r\nThe application can not start." with the
    // critical icon and the title "Error: <number>", then every window is closed.
    void FailStartup(long long number, const QString &description);

    QString StatusText() const;

    // The keyring the connect step asks.
    PasswordKeyring &Keyring() const { return *m_keyring; }

signals:
    // Step 5 has shown the main window.
    void StartupFinished();
    // Start-up ended with a message; every window has been closed.
    void StartupFailed();

private:
    void setStatus(const QString &text);
    void runStep(int step);
    void stopAndUnload();
    // Step 3 for the shared database used last; false while the keyring is asked.
    bool connectShared();

    AppState &m_state;
    StartupWindow &m_main;
    QLabel *m_title = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_timer = nullptr;
    int m_step = 0;
    bool m_failed = false;
    PasswordKeyring *m_keyring = nullptr;
    enum class Keyring { NotAsked, Asking, Answered } m_keyringState = Keyring::NotAsked;
    int m_keyringAnswer = 0; // PasswordKeyring::State
    QString m_password;      // from the keyring, until the store has it
    std::unique_ptr<WaitCursor> m_busy;
    int m_left = 0, m_top = 0, m_width = 0, m_height = 0, m_windowState = 0;
};
