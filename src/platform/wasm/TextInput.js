// The page's side of the system's text input (TextInput.cpp). An Emscripten
// JS library, linked into the browser edition.
//
// Qt draws into a canvas and reads only its key events. An input method's
// keys arrive there as key "Process" (code 229), which Qt turns into nothing,
// and the canvas is no place to compose text in; an on-screen keyboard's text
// arrives as input events alone. So while a text box that takes the system's
// text has the focus, a text field of the page's own, laid over the box and
// unseen, has the browser's focus: its keys go on to Qt as they are, and what
// the input method commits or an on-screen keyboard inserts reaches the box
// as committed text. The input method's own keys (the Enter that commits
// included) never reach Qt.
mergeInto(LibraryManager.library, {
    mimoran_coarse_pointer: function () {
        return window.matchMedia && window.matchMedia("(pointer: coarse)").matches ? 1 : 0;
    },

    mimoran_text_install: function () {
        var canvas = (window.mimoran && window.mimoran.canvas) || document.querySelector("canvas");
        if (!canvas)
            return;
        // Qt makes the canvas editable (for the clipboard's events) and means
        // to keep the system keyboard away from it, but sets a property the
        // browser does not read; the attribute does.
        canvas.inputMode = "none";
        var field = document.createElement("input");
        field.type = "text";
        field.id = "mimoran-text";
        field.setAttribute("autocomplete", "off");
        field.setAttribute("autocapitalize", "off");
        field.setAttribute("autocorrect", "off");
        field.spellcheck = false;
        // 16 pixels: a smaller font makes iOS zoom the page on focus.
        field.style.cssText = "position:fixed;left:0;top:0;width:1px;height:1px;margin:0;padding:0;border:0;"
            + "opacity:0;font-size:16px;pointer-events:none;";
        document.body.appendChild(field);
        var mode = "none";
        var composing = false;
        var fromInputMethod = function (e) {
            return e.isComposing || composing || e.keyCode === 229 || e.key === "Process" || e.key === "Unidentified";
        };
        var send = function (text) {
            window.mimoran.textIn = text;
            Module._mimoran_text_commit();
        };
        // Keys typed in the field are Qt's, as if typed on the canvas.
        var forward = function (e) {
            if (fromInputMethod(e))
                return;
            var copy = new KeyboardEvent(e.type, {
                key: e.key, code: e.code, location: e.location, repeat: e.repeat, ctrlKey: e.ctrlKey,
                shiftKey: e.shiftKey, altKey: e.altKey, metaKey: e.metaKey, bubbles: true, cancelable: true });
            if (!canvas.dispatchEvent(copy))
                e.preventDefault();
        };
        field.addEventListener("keydown", forward);
        field.addEventListener("keyup", forward);
        // Window, capture: ahead of Qt's own handler on the canvas.
        var swallow = function (e) {
            if (e.target === canvas && e.isTrusted && fromInputMethod(e))
                e.stopImmediatePropagation();
        };
        window.addEventListener("keydown", swallow, true);
        window.addEventListener("keyup", swallow, true);
        field.addEventListener("compositionstart", function () { composing = true; });
        field.addEventListener("compositionend", function (e) {
            composing = false;
            field.value = "";
            if (e.data)
                send(e.data);
        });
        field.addEventListener("beforeinput", function (e) {
            if (composing || e.isComposing || e.inputType === "insertCompositionText")
                return;
            // Enter and the rest arrive as keys; only text without a key is ours.
            e.preventDefault();
            if ((e.inputType === "insertText" || e.inputType === "insertReplacementText") && e.data)
                send(e.data);
            else if (e.inputType === "insertFromPaste" && e.dataTransfer)
                send(e.dataTransfer.getData("text/plain"));
            else if (e.inputType === "deleteContentBackward")
                Module._mimoran_text_erase();
        });
        field.addEventListener("input", function () {
            if (!composing)
                field.value = "";
        });
        var takeFocus = function () {
            if (mode !== "none" && document.activeElement !== field)
                field.focus({ preventScroll: true });
        };
        // A tap or click lands on the canvas; the field takes the focus back
        // inside that gesture (where a tablet opens its keyboard).
        window.addEventListener("pointerup", takeFocus, true);
        window.addEventListener("touchend", takeFocus, true);
        canvas.addEventListener("focus", function () { setTimeout(takeFocus, 0); });
        window.mimoran.keyboardWanted = function (wanted, x, y, w, h) {
            mode = wanted;
            if (mode === "none") {
                if (document.activeElement === field)
                    canvas.focus({ preventScroll: true });
                return;
            }
            var r = canvas.getBoundingClientRect(), s = window.mimoran.scale || 1;
            field.style.left = (r.left + x * s) + "px";
            field.style.top = (r.top + y * s) + "px";
            field.style.width = Math.max(1, w * s) + "px";
            field.style.height = Math.max(1, h * s) + "px";
            field.inputMode = mode;
            takeFocus();
        };
    },

    mimoran_text_length: function () {
        return (window.mimoran.textIn || "").length;
    },

    mimoran_text_copy: function (buffer, bytes) {
        stringToUTF16(window.mimoran.textIn || "", buffer, bytes);
    },

    mimoran_keyboard_wanted: function (mode, x, y, w, h) {
        if (window.mimoran && window.mimoran.keyboardWanted)
            window.mimoran.keyboardWanted(UTF8ToString(mode), x, y, w, h);
    }
});
