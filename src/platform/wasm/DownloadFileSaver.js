// Saving a file from the browser edition (DownloadFileSaver.cpp). An
// Emscripten JS library, linked into the browser edition.
mergeInto(LibraryManager.library, {
    // The bytes become a download under the suggested name: a Blob and a
    // link with the download attribute, clicked. The browser asks where to
    // keep it, or puts it in the downloads folder, as it does with any
    // download. The name crosses as UTF-16 code units. 1 when the browser
    // took it.
    mimoran_download: function (name, nameLength, data, size) {
        try {
            var fileName = String.fromCharCode.apply(null, HEAPU16.subarray(name >> 1, (name >> 1) + nameLength));
            var lower = fileName.toLowerCase();
            var type = lower.endsWith(".csv") ? "text/csv;charset=utf-8"
                     : lower.endsWith(".pdf") ? "application/pdf" : "application/octet-stream";
            // A copy: the program's memory may move or be reused.
            var blob = new Blob([HEAPU8.slice(data, data + size)], { type: type });
            var url = URL.createObjectURL(blob);
            var link = document.createElement("a");
            link.href = url;
            link.download = fileName;
            link.rel = "noopener";
            link.style.display = "none";
            document.body.appendChild(link);
            link.click();
            link.remove();
            // Some browsers read the Blob after the click returns.
            setTimeout(function () { URL.revokeObjectURL(url); }, 60000);
            return 1;
        } catch (e) {
            console.warn("download:", e);
            return 0;
        }
    }
});
