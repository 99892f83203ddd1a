// The page's side of the GLUT layer (linked after the program into
// ostrivane.js): the WebGL context, presses, taps and keys as GLUT on X
// delivers them, the matrix as a grid over the panel, the status, the key
// points, the contrast switch, and the events that wake the frame loop.
(function () {
  var canvas = document.getElementById('canvas');
  var stage = canvas.parentNode;
  var status = document.getElementById('status');
  var points = document.getElementById('points');
  var matrixValues = document.getElementById('values');
  var contrastSwitch = document.getElementById('contrast');

  // One buffer pixel for each CSS pixel. The contrast switch shows in the
  // margin; with none, only while focused, over the square's empty corner.
  Module.fitCanvas = function () {
    var side = Math.round(canvas.getBoundingClientRect().width);
    if (canvas.width !== side || canvas.height !== side) {
      canvas.width = canvas.height = side;
    }
    var room = contrastSwitch.getBoundingClientRect();
    contrastSwitch.classList.toggle('unplaced', (innerWidth - side) / 2 < room.width + 8 &&
                                                innerHeight - side < room.height + 8);
    return side;
  };
  Module.fitCanvas();
  // Opaque, without multisampling: sharp single pixels, as on the desktop.
  // Without WebGL a sentence takes the canvas's place.
  Module.canvas = canvas;
  Module.gl = window.WebGLRenderingContext && canvas.getContext('webgl',
    { alpha: false, depth: false, stencil: false, antialias: false, premultipliedAlpha: false });
  if (!Module.gl) {
    document.getElementById('no-webgl').hidden = false;
    stage.remove();
    contrastSwitch.remove();
    return;
  }
  // Over http(s) the site is an app that opens offline; from disk, a page.
  if (/^https?:$/.test(location.protocol)) {
    var manifest = document.head.appendChild(document.createElement('link'));
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    if ('serviceWorker' in navigator) {
      navigator.serviceWorker.register('sw.js');
    }
  }

  // The matrix as a grid with row and column headers: Enter, Space or a click
  // starts one of the six focusable entries, whose text field (its cell's
  // child, focused, opening an on-screen keyboard) turns a screen reader to
  // focus mode. Each cell says its place in words, which Orca speaks on every
  // move (on Up and Down it speaks no row header).
  var table = document.getElementById('matrix');
  var cells = [];
  var fixed = [];
  var editor = document.getElementById('editor');
  editor.remove();
  // The grid is made where the program places it, all at once: Firefox
  // counts no columns of a grid whose cells were hidden when made.
  function makeGrid(left, top, pitch, width, height) {
    function add(parent, role, text, style) {
      var element = parent.appendChild(document.createElement('div'));
      element.setAttribute('role', role);
      element.textContent = text;
      Object.assign(element.style, style);
      return element;
    }
    // The headers' row lies above the first, within the square.
    for (var r = -1; r < 3; ++r) {
      var row = add(table, 'row', '', { top: (r < 0 ? 0 : top + pitch * r) + '%', height: (r < 0 ? top : height) + '%' });
      for (var c = -1; c < 3; ++c) {
        var cell = add(row, r < 0 ? 'columnheader' : c < 0 ? 'rowheader' : 'gridcell',
          r < 0 ? (c < 0 ? 'Row' : 'Column ' + (c + 1)) : c < 0 ? 'Row ' + (r + 1) : '',
          { left: left + pitch * c + '%', width: width + '%' });
        if (r >= 0 && c >= 0) {
          cell.setAttribute('aria-rowindextext', 'row ' + (r + 1));
          cell.setAttribute('aria-colindextext', 'Column ' + (c + 1) + ' ');
          if (r < 2) { cell.id = 'entry-' + (r + 1) + '-' + (c + 1); cell.tabIndex = 0; }
          (r < 2 ? cells : fixed).push(cell);
        }
      }
    }
  }

  // No long-press menu, double-tap zoom or made-up mouse events anywhere on
  // the square. iOS opens its keyboard for a field focused at a touch's end.
  stage.addEventListener('touchstart', function (event) { event.preventDefault(); }, { passive: false });
  stage.addEventListener('touchend', function (event) {
    event.preventDefault();
    if (editor.isConnected && document.activeElement !== editor) {
      editor.focus({ preventScroll: true });
    }
  }, { passive: false });

  // The focus mark shows only while the keyboard moves between entries.
  function byKeyboard(yes) { table.classList.toggle('keyboard', yes); }
  function setText(element, text) { if (element.textContent !== text) { element.textContent = text; } }
  // A number as it is spoken: at most two decimals, no trailing zeros.
  function spoken(v) {
    return isNaN(v) ? 'not a number' : !isFinite(v) ? (v < 0 ? 'minus infinity' : 'infinity') :
      v.toLocaleString('en-US', { maximumFractionDigits: 2, useGrouping: false, signDisplay: 'negative' });
  }
  // What the status says of a commit: the entry's new value, or, when the
  // value is not what the text says, how the text was read.
  function describe(commit, value) {
    var at = 'Row ' + (commit.row + 1) + ', column ' + (commit.column + 1);
    var rest = commit.text.slice(commit.numberLength);
    if (/^[ \t\n\v\f\r]*$/.test(rest)) {
      return at + ' is now ' + spoken(value) + (isFinite(value) ? '' : ' (the number was too large)') +
        ', and the key points below are updated.';
    }
    if (!commit.numberLength) {
      return at + ': ' + commit.text + ' was read as 0: it does not start with a number.';
    }
    var name = { ',': 'the comma', ' ': 'the space', '.': 'the second point' }[rest[0]] ||
      (/[a-z]/i.test(rest[0]) ? 'the letter ' : 'the sign ') + rest[0];
    // A decimal comma where the point belongs.
    var advice = /^,\d+ *$/.test(rest) && !/[.eE]/.test(commit.text) ?
      ' Write ' + commit.text.trim().replace(',', '.') + '.' : '';
    return at + ': ' + commit.text + ' was read as ' + spoken(value) + ': the number ends at ' + name + '.' + advice;
  }
  // The worksheet's key points (letter, x, y), as the site's build listed them.
  var keyPoints = Array.from(points.children, function (item) {
    return item.dataset.point.split(' ').map(function (v, i) { return i ? +v : v; });
  });
  var shown = [];
  var edited = null;
  // Texts from the program are bytes, Latin-1 as the panel draws them.
  function latin1(p) { return String.fromCharCode.apply(null, HEAPU8.subarray(p, HEAPU8.indexOf(0, p))); }
  // After every event: the cells' texts, the entry in progress, the status
  // after a commit and where the key points go.
  Module.showState = function (editing, column, row, texts, stride, at, committedColumn, committedRow, text,
                               numberLength) {
    var values = Array.from(HEAPF32.subarray(at >> 2, (at >> 2) + 9));
    var commit = committedColumn >= 0 &&
      { column: committedColumn, row: committedRow, text: latin1(text), numberLength: numberLength };
    shown = Array.from({ length: 9 }, function (_, i) { return latin1(texts + stride * i); });
    cells.forEach(function (cell, i) { if (cell !== edited) { setText(cell, shown[i]); } });
    fixed.forEach(function (cell, i) { setText(cell, shown[6 + i] + ', fixed'); });
    var cell = editing ? cells[row * 3 + column] : null;
    if (edited && edited !== cell) {
      // Ended from the keyboard, its cell keeps the focus; else an on-screen keyboard may close.
      if (document.activeElement === editor && table.classList.contains('keyboard') && !cell) {
        edited.focus({ preventScroll: true });
      }
      edited.textContent = shown[cells.indexOf(edited)];
    }
    if (cell && edited !== cell) {
      editor.setAttribute('aria-label', 'Row ' + (row + 1) + ', column ' + (column + 1) +
        ': editing, empty. Type a number; Enter stores it.');
      cell.replaceChildren(editor);
    }
    edited = cell;
    if (cell) {
      editor.value = shown[row * 3 + column];
      if (document.activeElement !== editor) {
        editor.focus({ preventScroll: true });
      }
    }
    // The same sentence twice differs by a space, so that it is said again.
    if (commit) {
      var said = describe(commit, values[commit.row * 3 + commit.column]);
      status.textContent = status.textContent === said ? said + '\u00a0' : said;
    }
    keyPoints.forEach(function (p, i) {
      var x = values[0] * p[1] + values[1] * p[2] + values[2];
      var y = values[3] * p[1] + values[4] * p[2] + values[5];
      setText(points.children[i], p[0] + ' ' + p[1] + ', ' + p[2] + ' goes to ' + spoken(x) + ', ' + spoken(y));
    });
    // Say All reads no grid cell's value (Orca 43): the matrix once more, in words.
    setText(matrixValues, 'The matrix row by row: ' + [0, 3, 6].map(function (i) {
      return values.slice(i, i + 3).map(spoken).join(', ');
    }).join('; ') + '.');
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
    return code >= 64 && code <= 126 ? code & 31 : code === 32 || code === 50 ? 0 :
      code >= 51 && code <= 55 ? code - 24 : code === 56 ? 127 : code === 47 ? 31 : code;
  }

  function at(event) {
    var box = canvas.getBoundingClientRect();
    return [(event.clientX - box.left) | 0, (event.clientY - box.top) | 0];
  }
  // A left click at the centre of an entry's cell.
  function click(cell) {
    var box = cell.getBoundingClientRect();
    var p = at({ clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 });
    Module._ostrivanePress(0, 0, p[0], p[1]);
    Module._ostrivanePress(0, 1, p[0], p[1]);
  }

  // The contrast switch: the system's setting until the student's choice, kept.
  var system = matchMedia('(prefers-contrast: more), (forced-colors: active)');
  function applyContrast() {
    var chosen = null;
    try { chosen = localStorage.getItem('ostrivane-contrast'); } catch (e) {}
    contrastSwitch.setAttribute('aria-pressed', String(chosen ? chosen === 'more' : system.matches));
    redraw();
  }
  function redraw() {
    Module._ostrivaneRedraw(contrastSwitch.getAttribute('aria-pressed') === 'true');
  }

  // The program's callbacks are there: the table takes the panel's boxes'
  // places, and events reach the program.
  Module.startPage = function (left, top, pitch, width, height) {
    makeGrid(left, top, pitch, width, height);

    // A key is read against the program's state as it arrives. With no entry
    // in progress, Enter or Space on an entry is a left click at its centre
    // and the arrows move between entries; otherwise keys (Tab too) are the
    // program's, kept out of the field. The browser's shortcuts stay its own.
    window.addEventListener('keydown', function (event) {
      var editing = Module._ostrivaneEditing() !== 0;
      var focused = cells.indexOf(document.activeElement);
      if (event.metaKey || event.target === contrastSwitch) {
        return;
      }
      var next = focused + ({ ArrowLeft: -1, ArrowRight: 1, ArrowUp: -3, ArrowDown: 3 }[event.key] || NaN);
      var moveTo = cells[next] && (Math.abs(next - focused) === 3 || ((next / 3) | 0) === ((focused / 3) | 0));
      if (!editing && focused >= 0 && (event.key === 'Enter' || event.key === ' ' || moveTo)) {
        event.preventDefault();
        byKeyboard(true);
        return moveTo ? cells[next].focus() : click(cells[focused]);
      }
      if (event.key === 'Tab' && !editing) {
        byKeyboard(true);
      }
      var code = glutKey(event);
      if (code >= 0) {
        Module._ostrivaneKey(code);
      }
      if (editing && (code >= 0 || event.key === 'Tab') && !(event.ctrlKey && !event.altKey)) {
        event.preventDefault();
      }
    });

    // An on-screen keyboard's input: each character as its code, a deletion
    // backwards as Backspace; pasting, cutting and undoing type nothing.
    editor.addEventListener('input', function (event) {
      var before = shown[cells.indexOf(edited)] || '';
      var now = editor.value;
      editor.value = before;
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

    // Presses and a screen reader's activation of an entry (a click at its
    // centre) are heard on the window: nothing is announced as clickable.
    var lastTouch = -Infinity;
    function press(state) {
      return function (event) {
        if (event.target !== canvas) {
          return;
        }
        var touch = event.type.indexOf('pointer') === 0;
        if (touch ? event.pointerType === 'mouse' || !event.isPrimary
                  : event.timeStamp - lastTouch < 1000 || event.button > 2) {
          return;
        }
        // Also keeps the focus where the program put it.
        event.preventDefault();
        // A tap is one left press and release, without the made-up mouse events.
        lastTouch = touch ? event.timeStamp : lastTouch;
        var p = at(event);
        Module._ostrivanePress(touch ? 0 : event.button, state, p[0], p[1]);
      };
    }
    window.addEventListener('pointerdown', function (event) { if (event.target === canvas) { byKeyboard(false); } });
    ['pointerdown', 'mousedown'].forEach(function (type) { window.addEventListener(type, press(0)); });
    ['pointerup', 'mouseup'].forEach(function (type) { window.addEventListener(type, press(1)); });
    window.addEventListener('click', function (event) {
      if (cells.indexOf(event.target) >= 0 && event.target !== edited) {
        byKeyboard(true);
        click(event.target);
      }
    });
    // The right button belongs to the program, as in the desktop window.
    window.addEventListener('contextmenu', function (event) { if (event.target === canvas) { event.preventDefault(); } });

    contrastSwitch.addEventListener('click', function () {
      var more = contrastSwitch.getAttribute('aria-pressed') !== 'true';
      try { localStorage.setItem('ostrivane-contrast', more ? 'more' : 'less'); } catch (e) {}
      applyContrast();
    });
    system.addEventListener('change', applyContrast);
    applyContrast();
    // The picture must come back after a resize or when the page is shown again.
    window.addEventListener('resize', redraw);
    document.addEventListener('visibilitychange', redraw);
  };
})();
