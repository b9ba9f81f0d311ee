// The saved design of the Thumbnailer and its about box.
#include "Thumbnailer.h"

#include "ModalSeam.h"
#include "PropertyBag.h"
#include "ThumbAboutBox.h"
#include "ThumbLimits.h"
#include "ThumbPersistence.h"
#include "ThumbSurface.h"
#include "cToolTip.h"
#include "mThumbnailer.h"

#include <QTimer>

void Thumbnailer::WriteProperties(PropertyBag &bag) const
{
    ThumbPersistence::Write(*this, bag);
}

void Thumbnailer::ReadProperties(const PropertyBag &bag)
{
    const QVariantMap v = ThumbPersistence::Read(bag);
    auto number = [&](const char *name) { return v.value(QLatin1String(name)).toLongLong(); };
    auto flag = [&](const char *name) { return v.value(QLatin1String(name)).toBool(); };

    m_borderStyle = ethBorderStyle(number("BorderStyle"));
    applyBorderStyle();
    m_backColor = quint32(number("BackColor"));
    m_backClrItem = quint32(number("BackClrItem"));
    m_thumbWidth = ThumbLimits::clampThumbSize(int(number("ThumbWidth")));
    m_thumbHeight = ThumbLimits::clampThumbSize(int(number("ThumbHeight")));
    m_thumbOffset = ThumbLimits::clampOffset(int(number("ThumbOffset")));
    m_thumbSpace = ThumbLimits::clampSpace(int(number("ThumbSpace")));
    // Enumerated values are taken as stored (an unknown border style draws no edge).
    m_thumbBorderStyle = ethBorder(number("ThumbBorderStyle"));
    m_thumbBorderInStyle = ethBorderIn(number("ThumbBorderInStyle"));
    m_labelBorderStyle = ethBorder(number("LabelBorderStyle"));
    m_hasLabel = flag("HasLabel");
    m_labelEdit = ethLabelEdit(number("LabelEdit"));
    m_showHidden = flag("ShowHidden");
    m_showSystem = flag("ShowSystem");
    m_showReadOnly = flag("ShowReadOnly");
    m_canDelete = flag("CanDelete");
    m_dragDrop = flag("DragDrop");
    m_sorted = ethSort(number("Sorted"));
    m_sortOrder = ethSortOrder(number("SortOrder"));
    m_fsoEnable = flag("FSOEnable");
    m_tooltips = flag("Tooltips");
    m_getType = flag("GetType");
    m_getSize = flag("GetSize");
    m_getDate = flag("GetDate");
    m_getDims = flag("GetDims");
    m_getExt = flag("GetExt");
    // Stored only: nothing is listed until the host asks.
    m_path = v.value(QStringLiteral("Path")).toString();
    m_pattern = v.value(QStringLiteral("Pattern")).toString();
    m_patterns = mThumbnailer::ParsePatterns(m_pattern);
    if (m_patterns.isEmpty()) {
        m_pattern = QStringLiteral("*.bmp");
        m_patterns = mThumbnailer::ParsePatterns(m_pattern);
    }

    enforceOffsetRule();
    recomputeGeometry();
    resetView();
    if (m_tooltips && !m_toolTip)
        m_toolTip = std::make_unique<cToolTip>();
    else if (!m_tooltips)
        m_toolTip.reset();
    m_picBase->setAcceptDrops(m_dragDrop);
    if (m_userMode)
        m_tmrEndProc->start();
}

void Thumbnailer::ShowAboutBox()
{
    ThumbAboutBox box(this);
    ModalSeam::exec(box);
}
