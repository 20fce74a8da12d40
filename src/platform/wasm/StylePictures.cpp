// The browser edition leaves the widget styles' standard pictures out of the
// link (see web/CMakeLists.txt); QtWidgets still registers them at start-up,
// and registers nothing now.
int qInitResources_qstyle()
{
    return 1;
}

int qCleanupResources_qstyle()
{
    return 1;
}
