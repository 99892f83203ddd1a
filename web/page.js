// The page's side of the GLUT layer (linked after the program into
// ostrivane.js): the one WebGL context, presses and taps, keys decoded into
// the codes GLUT on X delivers, the matrix as a table of focusable entries
// laid over the panel (what they say is what the program draws there), the
// status after a commit, the system's contrast setting, and the events that
// wake the frame loop.
(function () {
  // For the load-time measurement: the script has been read and decoded.
  performance.mark('ostrivane-evaluated');
  var canvas = document.getElementById('canvas');
  var stage = canvas.parentNode;
  var status = document.getElementById('status');

  // The drawing buffer has one pixel for each CSS pixel of the square.
  Module.fitCanvas = function () {
    var side = Math.round(canvas.getBoundingClientRect().width);
    if (canvas.width !== side || canvas.height !== side) {
      canvas.width = canvas.height = side;
    }
    return side;
  };
  Module.fitCanvas();
  // An opaque canvas without multisampling, so that lines and glyphs come
  // out as sharp, single pixels, as in the desktop window. Without WebGL
  // there is nothing to draw on: a sentence takes the canvas's place.
  Module.canvas = canvas;
  Module.gl = window.WebGLRenderingContext && canvas.getContext('webgl',
    { alpha: false, depth: false, stencil: false, antialias: false, premultipliedAlpha: false });
  if (!Module.gl) {
    var note = document.createElement('p');
    note.id = 'no-webgl';
    note.textContent = "Ostrivane draws with WebGL, which this browser does not offer or has " +
        "turned off. Turn on hardware acceleration in the browser's settings, or open this " +
        'page in another browser.';
    stage.replaceWith(note);
    return;
  }
  // Served over http or https the site is an app that opens without a
  // network; opened from disk it is only the page.
  if (/^https?:$/.test(location.protocol)) {
    var manifest = document.head.appendChild(document.createElement('link'));
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    if ('serviceWorker' in navigator) {
      navigator.serviceWorker.register('sw.js');
    }
  }

  // The matrix as a table over the panel: the six editable entries are
  // text fields (an on-screen keyboard types into the focused one), the
  // fixed row is text. Their places are the page's style's.
  var table = stage.appendChild(document.createElement('div'));
  table.id = 'matrix';
  table.setAttribute('role', 'table');
  table.setAttribute('aria-label', 'The transformation matrix');
  var entries = [];
  var fixed = [];
  for (var r = 0; r < 3; ++r) {
    var row = table.appendChild(document.createElement('div'));
    row.setAttribute('role', 'row');
    row.style.top = 3.5 + 7 * r + '%';
    for (var c = 0; c < 3; ++c) {
      var cell = row.appendChild(document.createElement('div'));
      cell.setAttribute('role', 'cell');
      cell.style.left = 79 + 7 * c + '%';
      if (r === 2) {
        fixed.push(cell.appendChild(document.createElement('span')));
        continue;
      }
      var entry = cell.appendChild(document.createElement('input'));
      entry.id = 'entry-' + (r + 1) + '-' + (c + 1);
      entry.setAttribute('aria-label', 'Row ' + (r + 1) + ', column ' + (c + 1));
      ['autocomplete=off', 'autocorrect=off', 'autocapitalize=off', 'spellcheck=false',
       'inputmode=text', 'enterkeyhint=done'].forEach(function (pair) {
        entry.setAttribute.apply(entry, pair.split('='));
      });
      entries.push(entry);
    }
  }

  // No long-press menu, no double-tap zoom, no made-up mouse events. On
  // the canvas's parent, which also holds the table laid over it: the
  // browser then knows the listeners cover the whole square. iOS opens its
  // keyboard for a field focused at the end of a touch.
  stage.addEventListener('touchstart', function (event) { event.preventDefault(); }, { passive: false });
  stage.addEventListener('touchend', function (event) {
    event.preventDefault();
    if (selected && document.activeElement !== selected) {
      selected.focus({ preventScroll: true });
    }
  }, { passive: false });

  // The focus mark shows only while the keyboard moves between entries.
  function byKeyboard(yes) {
    table.classList.toggle('keyboard', yes);
  }
  var editing = false;
  var shown = [];
  var selected = null;
  Module.showState = function (nowEditing, column, row, cells, said) {
    shown = cells.split('\n');
    entries.forEach(function (entry, i) {
      if (entry.value !== shown[i]) {
        entry.value = shown[i];
      }
    });
    fixed.forEach(function (span, i) {
      var text = shown[6 + i] + ', fixed';
      if (span.textContent !== text) {
        span.textContent = text;
      }
    });
    var was = editing;
    editing = nowEditing;
    selected = editing ? entries[row * 3 + column] : null;
    if (selected && document.activeElement !== selected) {
      selected.focus({ preventScroll: true });
    } else if (was && !editing && !table.classList.contains('keyboard') &&
               entries.indexOf(document.activeElement) >= 0) {
      // Started by a press, ended: an on-screen keyboard may close.
      document.activeElement.blur();
    }
    // The same sentence twice differs by a space, so that it is said again.
    if (said) {
      status.textContent = status.textContent === said ? said + '\u00a0' : said;
    }
  };

  // The code GLUT's keyboard callback gets on X for a key press, or -1 when
  // X would not call it (Shift+Tab is ISO_Left_Tab, which types nothing).
  function glutKey(event) {
    var named = { Backspace: 8, Tab: event.shiftKey ? -1 : 9, Enter: 13, Escape: 27, Delete: 127 }[event.key];
    if (named !== undefined) {
      return named;
    }
    var characters = Array.from(event.key);
    var code = characters.length === 1 ? characters[0].codePointAt(0) : -1;
    // Outside Latin-1 X cannot hand a character to GLUT as one byte.
    if (code < 32 || code > 255 || code === 127) {
      return -1;
    }
    // Browsers on Windows report AltGr as Control and Alt together; the
    // character is then already the one AltGr types.
    if (!event.ctrlKey || event.altKey) {
      return code;
    }
    // What Xlib's XLookupString makes of a character typed with Control.
    if (code >= 64 && code <= 126) {
      return code & 31;
    }
    if (code === 32 || code === 50) {
      return 0;
    }
    return code >= 51 && code <= 55 ? code - 24 : code === 56 ? 127 : code === 47 ? 31 : code;
  }

  function at(event) {
    var box = canvas.getBoundingClientRect();
    return [(event.clientX - box.left) | 0, (event.clientY - box.top) | 0];
  }
  // A left click at the centre of an entry's cell.
  function click(entry) {
    var box = entry.getBoundingClientRect();
    var p = at({ clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 });
    Module._ostrivanePress(0, 0, p[0], p[1]);
    Module._ostrivanePress(0, 1, p[0], p[1]);
  }

  Module.startPage = function () {
    // A key on a focused entry with no entry in progress: Enter or Space is
    // a left click at the entry's centre, the arrows move between entries.
    // While an entry is in progress keys are the program's (Tab too, as on
    // the desktop) and are kept out of the focused field, so that each types
    // once; Enter and Esc end the entry. The browser's shortcuts stay its own.
    window.addEventListener('keydown', function (event) {
      if (event.metaKey) {
        return;
      }
      var focused = entries.indexOf(document.activeElement);
      // The arrows move between entries; left and right stay in their row.
      var next = focused + ({ ArrowLeft: -1, ArrowRight: 1, ArrowUp: -3, ArrowDown: 3 }[event.key] || NaN);
      var moveTo = entries[next] && (Math.abs(next - focused) === 3 || ((next / 3) | 0) === ((focused / 3) | 0)) ?
        entries[next] : null;
      if (!editing && focused >= 0 && (event.key === 'Enter' || event.key === ' ' || moveTo)) {
        event.preventDefault();
        byKeyboard(true);
        if (moveTo) {
          moveTo.focus();
        } else {
          click(entries[focused]);
        }
        return;
      }
      if (event.key === 'Tab' && !editing) {
        byKeyboard(true);
      }
      var was = editing;
      var code = glutKey(event);
      if (code >= 0) {
        Module._ostrivaneKey(code);
      }
      if ((was && (code >= 0 || event.key === 'Tab') && !(event.ctrlKey && !event.altKey)) ||
          (!was && focused >= 0 && code >= 32 && !event.ctrlKey)) {
        event.preventDefault();
      }
    });

    // What an on-screen keyboard inserts into the focused entry: each
    // character as its code, a deletion backwards as Backspace. Pasting,
    // cutting and undoing type nothing. The field then shows the program's
    // text again.
    table.addEventListener('input', function (event) {
      var entry = event.target;
      var before = shown[entries.indexOf(entry)];
      var now = entry.value;
      entry.value = before;
      if (!editing || entry !== selected) {
        return;
      }
      if (event.inputType === 'deleteContentBackward') {
        for (var n = Math.max(1, before.length - now.length); n > 0; --n) {
          Module._ostrivaneKey(8);
        }
      } else if (/^insert(Text|CompositionText|ReplacementText)?$/.test(event.inputType || 'insertText') &&
                 now.indexOf(before) === 0) {
        Array.from(now.slice(before.length)).forEach(function (character) {
          var code = character.codePointAt(0);
          if (code >= 32 && code <= 255 && code !== 127) {
            Module._ostrivaneKey(code);
          }
        });
      }
    });
    // A screen reader's activation of an entry is a click at its centre too.
    table.addEventListener('click', function (event) {
      if (entries.indexOf(event.target) >= 0 && event.target !== selected) {
        click(event.target);
      }
    });

    // The right button belongs to the program, as in the desktop window.
    canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });
    // A tap or a pen's touch is a left press and release, once: the mouse
    // events that the browser makes up after it are not counted again.
    var lastTouch = -Infinity;
    function touch(state) {
      return function (event) {
        if (event.pointerType === 'mouse' || !event.isPrimary) {
          return;
        }
        event.preventDefault();
        lastTouch = event.timeStamp;
        var p = at(event);
        Module._ostrivanePress(0, state, p[0], p[1]);
      };
    }
    canvas.addEventListener('pointerdown', function () { byKeyboard(false); });
    canvas.addEventListener('pointerdown', touch(0));
    canvas.addEventListener('pointerup', touch(1));
    function mouse(state) {
      return function (event) {
        // Also keeps the focus where the program put it.
        event.preventDefault();
        if (event.timeStamp - lastTouch < 1000 || event.button > 2) {
          return;
        }
        var p = at(event);
        Module._ostrivanePress(event.button, state, p[0], p[1]);
      };
    }
    canvas.addEventListener('mousedown', mouse(0));
    canvas.addEventListener('mouseup', mouse(1));

    // The picture may change with the contrast setting, and must come back
    // after a resize or when the page is shown again.
    var contrast = matchMedia('(prefers-contrast: more), (forced-colors: active)');
    contrast.addEventListener('change', function () { Module._ostrivaneContrast(contrast.matches); });
    Module._ostrivaneContrast(contrast.matches);
    window.addEventListener('resize', function () { Module._ostrivaneRedraw(); });
    document.addEventListener('visibilitychange', function () { Module._ostrivaneRedraw(); });
  };
})();
