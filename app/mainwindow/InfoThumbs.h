#pragma once

#include "InfoPhotos.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;
class Thumb;
class Thumbnailer;
struct AppState;

// The thumbnail viewer of the information panel and what the panel does with it: deleting the
// selected photos with the Delete key (asked once, to the trash where there is one), opening a
// photo in the photo viewer on a double click, and the viewer's design (its property pages,
// saved in the user settings file).
class InfoThumbs : public QObject
{
    Q_OBJECT

public:
    // The settings group of the viewer's saved design in the user settings file.
    static constexpr const char *kDesignGroup = "InfoThumbnailer";

    // `viewer` belongs to the panel; `state` must outlive this object.
    InfoThumbs(Thumbnailer *viewer, AppState &state, QObject *parent);

    // True while the viewer has the input focus.
    bool ThumbsFocused() const;
    // Photo deletion (see InfoPanel::HandleKeyUp).
    bool HandleKeyUp(int key);
    // Asked before the deletion is offered: true when it is refused (the user told why).
    void SetDeleteRefusal(std::function<bool()> refused) { m_refused = std::move(refused); }

    void ShowViewerProperties();
    void SaveViewerDesign() const;
    void LoadViewerDesign();
    void ApplyDefaultDesign();
    // The viewer is one row of thumbnails high, whatever its design.
    void updateViewerHeight();

signals:
    // A photo file was removed from the disk through the viewer.
    void photoDeleted(const QString &filePath);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isViewerKeyTarget(QObject *watched) const;
    QWidget *window() const;
    void onDblClick(Thumb *thumb);
    void onItemDelete(const QString &sPath, const QString &sName);

    Thumbnailer *m_thumbs;
    AppState &m_state;
    // Set while the panel's own DeleteItems runs, after the user confirmed the deletion.
    bool m_deleting = false;
    InfoPhotos::Removal m_removal = InfoPhotos::Removal::Trash;
    QStringList m_notRemoved;
    std::function<bool()> m_refused;
};
