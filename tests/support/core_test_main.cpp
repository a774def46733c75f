#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// The main of the tests of code that needs no widgets: no platform plugin, fonts or accessibility
// are loaded, so these tests run lean under the thread sanitizer, which cannot see into Qt.
int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
