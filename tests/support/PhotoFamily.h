#pragma once

// A GEDCOM file for the tests of imports that run at once: persons @K0@... named
// <prefix><n> /Line/, each with a photo <prefix><n>.jpg beside the file.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Writes the file family.ged and the photos into `folder` (made when missing); its path, or ""
// when something could not be written.
inline QString writePhotoFamily(const QString &folder, const QString &prefix, int persons)
{
    QDir().mkpath(folder);
    QByteArray text = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n";
    for (int i = 0; i < persons; ++i) {
        const QByteArray photo = prefix.toUtf8() + QByteArray::number(i) + ".jpg";
        QFile file(folder + QLatin1Char('/') + QString::fromUtf8(photo));
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write("photo " + photo);
        text += "0 @K" + QByteArray::number(i) + "@ INDI\n1 NAME " + prefix.toUtf8() +
                QByteArray::number(i) + " /Line/\n1 OBJE\n2 FILE " + photo + "\n";
    }
    const QString path = folder + QStringLiteral("/family.ged");
    QFile gedcom(path);
    if (!gedcom.open(QIODevice::WriteOnly))
        return QString();
    gedcom.write(text + "0 TRLR\n");
    return path;
}
