// The page's side of the browser test's view into the program
// (Automation.cpp): the request and the reply travel through page globals.
// An Emscripten JS library, linked into the browser edition.
mergeInto(LibraryManager.library, {
    // The request as JSON in ASCII: every other character as a \u escape,
    // which the JSON reader takes code unit for code unit (raw UTF-8 would
    // lose a U+FEFF at the start of a text).
    mimoran_automation_request_length: function () {
        var text = JSON.stringify(window.mimoran.request || {});
        var ascii = "";
        for (var i = 0; i < text.length; ++i) {
            var c = text.charCodeAt(i);
            ascii += c < 128 ? text[i] : "\\u" + ("000" + c.toString(16)).slice(-4);
        }
        window.mimoran.requestText = ascii;
        return ascii.length;
    },

    mimoran_automation_request_copy: function (buffer, size) {
        stringToUTF8(window.mimoran.requestText, buffer, size);
    },

    mimoran_automation_reply: function (json) {
        window.mimoran.reply = JSON.parse(UTF8ToString(json));
    }
});
