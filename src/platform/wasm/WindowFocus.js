// The windows' room on the page (WindowFocus.cpp). An Emscripten JS library,
// linked into the browser edition.
mergeInto(LibraryManager.library, {
    // The page sizes its canvas for the largest window shown (index.html).
    mimoran_ask_room: function (width, height) {
        if (window.mimoran && window.mimoran.askRoom)
            window.mimoran.askRoom(width, height);
    }
});
