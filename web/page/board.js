'use strict';

// The board is drawn by Corvane at this window's size in device pixels; the page shows that
// picture, moves the running text over the bottom band and follows every change through
// the event stream, reconnecting by itself.

const board = document.getElementById('board');
const band = document.getElementById('band');
const strip = document.getElementById('strip');

let layout = null;       // what /board.json said for the current size
let version = null;      // the board state the page was told of last
let run = { running: false, id: 0 };
let runHeardAt = 0;      // performance.now() when `run` came
let stripKey = '';       // the ticker picture shown: run, size and board state
let refreshing = null;
let resizeTimer = 0;

function screenSize() {
    const ratio = window.devicePixelRatio || 1;
    return { w: Math.round(window.innerWidth * ratio), h: Math.round(window.innerHeight * ratio), ratio };
}

function loadPicture(element, url) {
    return new Promise((resolve) => {
        const picture = new Image();
        picture.onload = () => { element.src = url; resolve(true); };
        picture.onerror = () => resolve(false);
        picture.src = url;
    });
}

function placeBand(ratio) {
    const rect = layout.band;
    band.style.left = (rect.x / ratio) + 'px';
    band.style.top = (rect.y / ratio) + 'px';
    band.style.width = (rect.width / ratio) + 'px';
    band.style.height = (rect.height / ratio) + 'px';
}

async function loadStrip() {
    if (!layout || !run.running) {
        strip.style.visibility = 'hidden';
        return;
    }
    const key = `${run.id}-${layout.width}x${layout.height}-${layout.version}`;
    if (key === stripKey)
        return;
    stripKey = key;
    await loadPicture(strip, `/ticker.png?w=${layout.width}&h=${layout.height}&t=${run.id}&v=${layout.version}`);
    strip.style.width = (strip.naturalWidth / screenSize().ratio) + 'px';
    animate();
}

async function refresh() {
    const size = screenSize();
    try {
        const reply = await fetch(`/board.json?w=${size.w}&h=${size.h}`, { cache: 'no-store' });
        if (!reply.ok)
            throw new Error(reply.status);
        const next = await reply.json();
        if (!(await loadPicture(board, next.image)))
            throw new Error('picture');
        layout = next;
        placeBand(size.ratio);
        document.body.dataset.version = layout.version;
        await loadStrip();
    } catch (error) {
        setTimeout(refreshOnce, 2000);
    }
}

// Changes that come while a refresh runs are caught by one more refresh after it.
function refreshOnce() {
    if (refreshing) {
        refreshing.again = true;
        return;
    }
    refreshing = { again: false };
    refresh().finally(() => {
        const again = refreshing.again;
        refreshing = null;
        if (again)
            refreshOnce();
    });
}

function animate() {
    if (!run.running || !strip.naturalWidth || !layout) {
        strip.style.visibility = 'hidden';
        return;
    }
    const fraction = run.fraction + (performance.now() - runHeardAt) / Math.max(1, run.runMs);
    if (fraction >= 1) {
        strip.style.visibility = 'hidden';
        return;
    }
    // As on the TV: the text comes in at the right edge and leaves past the left one.
    const width = band.clientWidth;
    const x = width - fraction * (width + strip.clientWidth);
    strip.style.transform = `translateX(${x}px)`;
    strip.style.visibility = 'visible';
    requestAnimationFrame(animate);
}

function listen() {
    const events = new EventSource('/events');
    events.addEventListener('board', (event) => {
        const told = JSON.parse(event.data).version;
        if (told !== version) {
            version = told;
            refreshOnce();
        }
    });
    events.addEventListener('ticker', (event) => {
        run = JSON.parse(event.data);
        runHeardAt = performance.now();
        if (run.running)
            loadStrip().then(animate);
        else
            strip.style.visibility = 'hidden';
    });
    events.onerror = () => {
        // The browser retries a dropped stream itself; a refused one is tried again here.
        if (events.readyState === EventSource.CLOSED)
            setTimeout(listen, 3000);
    };
}

window.addEventListener('resize', () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(refreshOnce, 150);
});

refreshOnce();
listen();
