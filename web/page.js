// The page's side of the GLUT layer (linked after the program into
// ostrivane.js): the canvas as the largest square that fits the viewport,
// mouse presses and taps, what an on-screen keyboard inserts into the
// keyboard field, and the text that states the picture for screen readers.
(function () {
  // For the load-time measurement: the script has been read and decoded.
  performance.mark('ostrivane-evaluated');
  var canvas = Module.canvas;
  var field = document.getElementById('keyboard-field');
  var matrixText = document.getElementById('matrix-text');
  // The field always holds this text, so that a deletion backwards has
  // something to delete even in an empty entry.
  var filler = '  ';

  Module.fitSquare = function () {
    var side = Math.min(window.innerWidth, window.innerHeight);
    var size = side + 'px';
    var left = ((window.innerWidth - side) >> 1) + 'px';
    if (canvas.style.width !== size || canvas.style.marginLeft !== left) {
      canvas.style.width = canvas.style.height = size;
      canvas.style.marginLeft = left;
    }
    return side;
  };

  var entryInProgress = false;
  function focusField() {
    field.value = filler;
    field.focus({ preventScroll: true });
  }
  Module.showState = function (editing, text) {
    entryInProgress = editing;
    if (matrixText.textContent !== text) {
      matrixText.textContent = text;
    }
    if (editing && document.activeElement !== field) {
      focusField();
    } else if (!editing && document.activeElement === field) {
      field.blur();
    }
  };

  function at(event) {
    var box = canvas.getBoundingClientRect();
    return [(event.clientX - box.left) | 0, (event.clientY - box.top) | 0];
  }

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
  canvas.addEventListener('pointerdown', touch(0));
  canvas.addEventListener('pointerup', touch(1));
  function mouse(state) {
    return function (event) {
      // Also keeps the keyboard field focused.
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
  canvas.addEventListener('mousemove', function (event) {
    var p = at(event);
    Module._ostrivanePointerAt(p[0], p[1]);
  });
  // No long-press menu, no double-tap zoom, no made-up mouse events. iOS
  // opens its keyboard for a field focused at the end of a touch.
  canvas.addEventListener('touchstart', function (event) { event.preventDefault(); }, { passive: false });
  canvas.addEventListener('touchend', function (event) {
    event.preventDefault();
    if (entryInProgress && document.activeElement !== field) {
      focusField();
    }
  }, { passive: false });

  // Keys of a physical keyboard reach the program from their keydown, which
  // keeps them out of the field; what reaches the field comes from an
  // on-screen keyboard: each inserted character as its code, a deletion
  // backwards as Backspace. Pasting, cutting and undoing type nothing.
  field.addEventListener('input', function (event) {
    var value = field.value;
    field.value = filler;
    if (event.inputType === 'deleteContentBackward') {
      for (var n = filler.length - value.length; n > 0; --n) {
        Module._ostrivaneType(8);
      }
    } else if (/^insert(Text|CompositionText|ReplacementText)?$/.test(event.inputType || 'insertText') &&
               value.indexOf(filler) === 0) {
      Array.from(value.slice(filler.length)).forEach(function (character) {
        Module._ostrivaneType(character.codePointAt(0));
      });
    }
  });
})();
