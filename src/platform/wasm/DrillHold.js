// A drill that must not be left (DrillHold.cpp): claimed through the page's
// Web Locks, which the browser lets go when the page is gone (reloaded,
// closed, crashed), so another tab never takes up a drill a living tab runs;
// and the page's own leave prompt while it is held. An Emscripten JS
// library, linked into the browser edition.
mergeInto(LibraryManager.library, {
    // 1 when this page holds the drill's lock (or the browser has no locks,
    // where nothing can be told apart), 0 when another page holds it. A page
    // reloaded a moment ago may still be letting go: waited for a little.
    mimoran_drill_claim__async: true,
    mimoran_drill_claim: function (drill, length, waitMs) {
        return Asyncify.handleAsync(function () {
            var claims = Module.mimoranDrillClaims = Module.mimoranDrillClaims || new Map();
            var name = "mimoran-drill-" + String.fromCharCode.apply(null, HEAPU16.subarray(drill >> 1, (drill >> 1) + length));
            if (claims.has(name))
                return Promise.resolve(1);
            if (!navigator.locks || typeof AbortController === "undefined")
                return Promise.resolve(1);
            return new Promise(function (resolve) {
                var stop = new AbortController();
                var timer = setTimeout(function () { stop.abort(); }, waitMs);
                navigator.locks.request(name, { signal: stop.signal }, function () {
                    clearTimeout(timer);
                    return new Promise(function (release) {
                        claims.set(name, release);
                        resolve(1);
                    });
                }).catch(function () {
                    clearTimeout(timer);
                    resolve(0);
                });
            });
        });
    },

    // 0 while another wait has the program's stack set aside.
    mimoran_drill_ready: function () {
        return typeof Asyncify !== "undefined" && !Asyncify.currData && Asyncify.state === Asyncify.State.Normal ? 1 : 0;
    },

    mimoran_drill_release: function (drill, length) {
        var claims = Module.mimoranDrillClaims;
        var name = "mimoran-drill-" + String.fromCharCode.apply(null, HEAPU16.subarray(drill >> 1, (drill >> 1) + length));
        if (claims && claims.has(name)) {
            claims.get(name)();
            claims.delete(name);
        }
    },

    // While held, leaving the page asks first (the browser's own words; a
    // page may not choose them).
    mimoran_drill_hold_page: function (held) {
        if (!Module.mimoranLeavePrompt) {
            Module.mimoranLeavePrompt = function (e) {
                e.preventDefault();
                e.returnValue = "";
                return "";
            };
        }
        if (held)
            window.addEventListener("beforeunload", Module.mimoranLeavePrompt);
        else
            window.removeEventListener("beforeunload", Module.mimoranLeavePrompt);
    }
});
