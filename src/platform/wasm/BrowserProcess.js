// How the program's end reaches the page (BrowserProcess.cpp). An Emscripten
// JS library, linked into the browser edition.
mergeInto(LibraryManager.library, {
    // The page listens for this event and puts its own notice where the
    // program's windows were.
    mimoran_announce_end: function () {
        window.dispatchEvent(new Event("mimoran-ended"));
    }
});
