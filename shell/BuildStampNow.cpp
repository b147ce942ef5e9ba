// The build copies this file into its binary folder and compiles it at every build (see
// CMakeLists.txt), so these two texts are the moment of the latest build, not of the last
// change to this file. Nothing else lives here, to keep that recompilation cheap.
namespace tabel::buildstamp {

const char* dateText()
{
    return __DATE__;
}

const char* timeText()
{
    return __TIME__;
}

} // namespace tabel::buildstamp
