#pragma once

#include <QString>

// Where one visible item was drawn in the last paint, in drawing-surface pixels.
class Thumbnail
{
public:
    Thumbnail() = default;

    QString Path() const { return m_path; }
    void setPath(const QString &value) { m_path = value; }
    QString Name() const { return m_name; }
    void setName(const QString &value) { m_name = value; }
    // The cell rectangle: right = left + ThumbWidth, bottom = top + ThumbHeight.
    int ThumbLeft() const { return m_left; }
    void setThumbLeft(int value) { m_left = value; }
    int ThumbTop() const { return m_top; }
    void setThumbTop(int value) { m_top = value; }
    int ThumbRight() const { return m_right; }
    void setThumbRight(int value) { m_right = value; }
    int ThumbBottom() const { return m_bottom; }
    void setThumbBottom(int value) { m_bottom = value; }
    // Vertical extent of the label box under the cell; both -1 without labels.
    int LabelTop() const { return m_labelTop; }
    void setLabelTop(int value) { m_labelTop = value; }
    int LabelBottom() const { return m_labelBottom; }
    void setLabelBottom(int value) { m_labelBottom = value; }

private:
    QString m_path;
    QString m_name;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    int m_labelTop = -1;
    int m_labelBottom = -1;
};
