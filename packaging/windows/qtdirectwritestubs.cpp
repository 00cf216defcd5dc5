// Debian's qt6-base 6.4.2 source, configured for Windows, builds Qt Gui without its DirectWrite font database and
// font engine, while the windows platform plugin and the Windows print engine still name one function of each.
// Neither is ever reached here: the plugin makes a DirectWrite font database only when asked for one
// (-platform windows:fontengine=directwrite), and the print engine calls createHFONT() only on a DirectWrite font
// engine, which nothing makes. Fonts come from the GDI font database. Should either be reached, the program stops
// at once instead of running on with a broken font.
#include <cstdlib>

extern "C" {
// QWindowsDirectWriteFontDatabase::QWindowsDirectWriteFontDatabase()
void _ZN31QWindowsDirectWriteFontDatabaseC1Ev() {
    std::abort();
}
// QWindowsFontEngineDirectWrite::createHFONT() const
void _ZNK29QWindowsFontEngineDirectWrite11createHFONTEv() {
    std::abort();
}
}
