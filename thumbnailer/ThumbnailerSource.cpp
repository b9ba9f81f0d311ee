// Where the Thumbnailer's items come from: Path, Pattern and FilesList, Clear, StopDraw,
// Redraw and AddItem.
#include "Thumbnailer.h"

#include "MessageService.h"
#include "ThumbnailerPrivate.h"
#include "WaitCursor.h"
#include "mThumbnailer.h"

using namespace Pixtile;

QString Thumbnailer::Pattern() const
{
    return d->settings.pattern;
}

void Thumbnailer::setPattern(const QString &value)
{
    ThumbSettings &s = d->settings;
    QString stored;
    if (!mThumbnailer::AcceptPattern(s.pattern, value, stored))
        return;
    s.pattern = stored;
    d->markChanged("Pattern");
    if (!s.userMode)
        return;
    s.patterns = mThumbnailer::ParsePatterns(s.pattern);
    if (s.patterns.isEmpty()) {
        s.pattern = QStringLiteral("*.bmp");
        s.patterns = mThumbnailer::ParsePatterns(s.pattern);
    }
    emit AfterPatternChange();
}

QString Thumbnailer::Path() const
{
    return d->settings.path;
}

void Thumbnailer::setPath(const QString &value)
{
    if (!d->settings.userMode) {
        d->settings.path = value.isEmpty() ? QString() : mThumbnailer::AddBackslash(value);
        return;
    }
    if (value == d->settings.path || value.isEmpty() || !mThumbnailer::PathExists(value))
        return;
    const QString path = mThumbnailer::AddBackslash(value.trimmed());
    bool cancel = false;
    QPointer<Thumbnailer> self(this);
    emit BeforePathChange(path, &cancel);
    if (!self || cancel)
        return;
    Clear();
    d->settings.path = path;
    d->markChanged("Path");
    d->showSource(false, [this] { emit AfterPathChange(Items()); });
}

QStringList Thumbnailer::FilesList() const
{
    return d->settings.filesList;
}

void Thumbnailer::setFilesList(const QStringList &value)
{
    if (!d->settings.userMode) {
        d->settings.filesList = value;
        return;
    }
    if (value.isEmpty())
        return;
    WaitCursor busy;
    QStringList names;
    for (const QString &file : value) {
        const QString name = mThumbnailer::FileNameOf(file);
        if (mThumbnailer::ContainsText(names, name)) {
            busy.restore();
            ShowMessage(QStringLiteral("Filenames in the List must be unique even if they reside "
                                       "in different directories."),
                        QStringLiteral("Abort: Duplicate filenames detected"), MsgIcon::Critical,
                        MsgButtons::OkOnly, this);
            return;
        }
        names.append(name);
    }
    const QString first = mThumbnailer::ParentFolder(value.first());
    bool oneFolder = true;
    for (const QString &file : value)
        if (mThumbnailer::ParentFolder(file).compare(first, Qt::CaseInsensitive) != 0)
            oneFolder = false;
    Clear();
    d->settings.path = oneFolder ? first : QString(mThumbnailer::kListPath);
    d->settings.filesList = value;
    d->markChanged("Path");
    d->markChanged("FilesList");
    busy.restore();
    d->showSource(true, [this] { emit AfterListChange(Items()); });
}

int Thumbnailer::Items() const
{
    return d->model.count();
}

::Thumbs &Thumbnailer::Thumbs() const
{
    return d->model.thumbs();
}

void Thumbnailer::Clear()
{
    d->clear();
}

void Thumbnailer::StopDraw()
{
    d->pipeline.stop();
}

bool Thumbnailer::Rendering() const
{
    return d->pipeline.busy();
}

void Thumbnailer::Redraw()
{
    d->redraw();
}

bool Thumbnailer::AddItem(const QString &sPath, const QString &sName)
{
    return d->pipeline.addItem(sPath, sName);
}
