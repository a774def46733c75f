#include "platform/QtIconSource.h"
#include "support/PeBuilder.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QIcon>
#include <QMimeDatabase>
#include <QPixmap>

namespace {

QImage picture(const QIcon& icon, int side)
{
    return icon.pixmap(QSize(side, side), 1.0).toImage();
}
QColor centre(const QIcon& icon, int side)
{
    const QImage image = picture(icon, side);
    return image.size() == QSize(side, side) ? image.pixelColor(side / 2, side / 2) : QColor();
}

TEST(IconSource, AWindowsProgramShowsItsOwnFirstIconAtBothSizes)
{
    TempAppFolder dir;
    dir.write(QStringLiteral("bmp.exe"),
              pe::build({{{16, Qt::blue}, {48, Qt::red}, {32, Qt::green}}}).file);
    dir.write(QStringLiteral("png64.exe"), pe::build({{{48, Qt::red, true}}}, true).file);
    dir.write(QStringLiteral("near.exe"),
              pe::build({{{16, Qt::blue}, {24, Qt::cyan}, {48, Qt::red}}}).file);
    QtIconSource source;

    const QIcon own = source.programIcon(dir.file(QStringLiteral("bmp.exe")));
    EXPECT_EQ(centre(own, 32), QColor(Qt::green));
    EXPECT_EQ(centre(own, 16), QColor(Qt::blue));
    // Only a larger picture: scaled down to both sizes. The name is found in any letter case.
    const QIcon scaled = source.programIcon(dir.file(QStringLiteral("PNG64.EXE")));
    EXPECT_EQ(centre(scaled, 32), QColor(Qt::red));
    EXPECT_EQ(centre(scaled, 16), QColor(Qt::red));
    // No 32: the nearest larger picture, which keeps more detail than the nearest smaller one.
    EXPECT_EQ(centre(source.programIcon(dir.file(QStringLiteral("near.exe"))), 32),
              QColor(Qt::red));
}

TEST(IconSource, AProgramIsReadAgainOnlyOnceItChanged)
{
    TempAppFolder dir;
    const QString exe = dir.file(QStringLiteral("tool.exe"));
    dir.write(QStringLiteral("tool.exe"), pe::build({{{32, Qt::green}}}).file);
    QtIconSource source;
    const QIcon first = source.programIcon(exe);
    EXPECT_EQ(source.programIcon(exe).cacheKey(), first.cacheKey());

    // Another picture in a file of the same size, written a second later.
    dir.write(QStringLiteral("tool.exe"), pe::build({{{32, Qt::red}}}).file);
    QFile file(exe);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(1), QFileDevice::FileModificationTime);
    file.close();
    EXPECT_EQ(centre(source.programIcon(exe), 32), QColor(Qt::red));

    ASSERT_TRUE(QFile::remove(exe));
    EXPECT_TRUE(source.readProgramIcon(exe).broken);
}

TEST(IconSource, OtherProgramsFallBackByNameThenTypeThenOurOwnIcon)
{
    TempAppFolder dir;
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({dir.file(QStringLiteral("themes"))});
    QIcon::setThemeName(QStringLiteral("kt"));
    dir.write(QStringLiteral("themes/kt/index.theme"),
              "[Icon Theme]\nName=kt\nDirectories=apps\n\n[apps]\nSize=32\nType=Fixed\n");
    const auto themeIcon = [&](const QString& name, const QColor& c) {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(c);
        dir.mkdir(QStringLiteral("themes/kt/apps"));
        image.save(dir.file(QStringLiteral("themes/kt/apps/") + name + QStringLiteral(".png")));
    };

    // The files, and what each must show.
    dir.write(QStringLiteral("tools/namedtool"), "x");
    dir.write(QStringLiteral("tools/MixedCase"), "x");
    dir.write(QStringLiteral("tools/suitetool"), "x");
    dir.write(QStringLiteral("tools/pngtool"), "x");
    dir.write(QStringLiteral("tools/noicon.exe"), pe::build({}).file);
    dir.write(QStringLiteral("tools/notes.kdx"), "plain words\n");
    dir.write(QStringLiteral("tools/unknown.bin"), QByteArray("\x01\x02\x03\xff\xfe", 5));
    dir.mkdir(QStringLiteral("tools/a folder"));
    const QMimeDatabase mimes;
    const QMimeType exe = mimes.mimeTypeForFile(dir.file(QStringLiteral("tools/noicon.exe")));
    const QMimeType text = mimes.mimeTypeForFile(dir.file(QStringLiteral("tools/notes.kdx")));
    ASSERT_NE(text.iconName(), text.genericIconName());
    themeIcon(QStringLiteral("namedtool"), Qt::cyan);
    themeIcon(QStringLiteral("mixedcase"), Qt::magenta);
    themeIcon(QStringLiteral("suitetool"), Qt::gray); // the suite's own folder comes first
    themeIcon(exe.iconName(), Qt::yellow);
    themeIcon(text.genericIconName(), Qt::darkGreen);
    dir.write(QStringLiteral("suite/hicolor/scalable/apps/suitetool.svg"),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 32 32\">"
              "<rect width=\"32\" height=\"32\" fill=\"#ff0000\"/></svg>");
    dir.mkdir(QStringLiteral("suite/hicolor/48x48/apps"));
    QImage png(48, 48, QImage::Format_ARGB32);
    png.fill(Qt::blue);
    png.save(dir.file(QStringLiteral("suite/hicolor/48x48/apps/pngtool.png")));

    QtIconSource source({dir.file(QStringLiteral("suite"))});
    const auto shown = [&](const char* file) {
        return centre(
            source.programIcon(dir.file(QStringLiteral("tools/") + QString::fromLatin1(file))), 32);
    };
    EXPECT_EQ(shown("namedtool"), QColor(Qt::cyan));
    EXPECT_EQ(shown("MixedCase"), QColor(Qt::magenta));
    EXPECT_EQ(shown("suitetool"), QColor(Qt::red));
    EXPECT_EQ(shown("pngtool"), QColor(Qt::blue)); // drawn at exactly 32 from its 48
    EXPECT_EQ(shown("noicon.exe"), QColor(Qt::yellow));
    EXPECT_EQ(shown("notes.kdx"), QColor(Qt::darkGreen));

    const QImage neutral = picture(source.neutralIcon(), 32);
    const QImage broken = picture(source.brokenIcon(), 32);
    ASSERT_FALSE(neutral.isNull());
    ASSERT_FALSE(broken.isNull());
    EXPECT_NE(neutral, broken);
    EXPECT_EQ(picture(source.programIcon(dir.file(QStringLiteral("tools/unknown.bin"))), 32),
              neutral);
    for (const char* unusable : {"tools/missing", "tools/a folder", ""}) {
        const QString path = *unusable ? dir.file(QString::fromLatin1(unusable)) : QString();
        EXPECT_EQ(picture(source.programIcon(path), 32), broken) << unusable;
        EXPECT_EQ(picture(source.programIcon(path), 16), picture(source.brokenIcon(), 16));
    }

    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
}

} // namespace
