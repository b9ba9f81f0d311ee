#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// The open-file dialog of the windows (invisible until ShowOpen). The filter is a list of
// description/pattern pairs separated by '|' ("Text files|*.TXT;*.LOG|All files|*.*"); patterns
// match without regard to case. With OFN_ALLOWMULTISELECT several files can be chosen: FileName
// is then the folder followed by each file name, separated by NUL characters; with one file
// chosen it is that file's full path.
class FileDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DialogTitle READ DialogTitle WRITE setDialogTitle)
    Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
    Q_PROPERTY(int FilterIndex READ FilterIndex WRITE setFilterIndex)
    Q_PROPERTY(int Flags READ Flags WRITE setFlags)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(QString InitDir READ InitDir WRITE setInitDir)

public:
    static constexpr int OFN_ALLOWMULTISELECT = 0x00000200;
    static constexpr int OFN_EXPLORER = 0x00080000;

    // A test stands in for the user: it gets the configured dialog and returns the FileName
    // result, or std::nullopt for Cancel.
    using Driver = std::function<std::optional<QString>(const FileDialog &dialog)>;

    explicit FileDialog(QObject *parent = nullptr);

    QString DialogTitle() const { return m_title; }
    void setDialogTitle(const QString &title) { m_title = title; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }
    // 1-based position of the preselected filter pair.
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }
    int Flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString &dir) { m_initDir = dir; }

    // Shows the dialog modally; true when the user confirmed (FileName then holds the choice),
    // false on Cancel (FileName unchanged).
    bool ShowOpen(QWidget *parent = nullptr);

    // The filter in the form a Qt file dialog takes: "desc (pat1 pat2)" entries.
    QStringList qtNameFilters() const;

    // Builds the FileName result for files chosen in one folder.
    static QString selectionResult(const QStringList &paths);

    static void setDriver(Driver driver);
    static bool hasDriver();

private:
    QString m_title;
    QString m_filter;
    int m_filterIndex = 1;
    int m_flags = 0;
    QString m_fileName;
    QString m_initDir;
};

// Installs a file-dialog driver for its lifetime.
class ScopedFileDialogDriver
{
public:
    explicit ScopedFileDialogDriver(FileDialog::Driver driver)
    {
        FileDialog::setDriver(std::move(driver));
    }
    ~ScopedFileDialogDriver() { FileDialog::setDriver({}); }
    ScopedFileDialogDriver(const ScopedFileDialogDriver &) = delete;
    ScopedFileDialogDriver &operator=(const ScopedFileDialogDriver &) = delete;
};
