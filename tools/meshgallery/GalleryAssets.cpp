#include "GalleryAssets.h"

const char *const kGalleryCss = R"CSS(/* The mesh gallery's pages. */
:root { --ink: #222; --muted: #666; --line: #ddd; --paper: #fff; --back: #f5f5f5; --accent: #c8501e; }
* { box-sizing: border-box; }
body { margin: 0; font: 15px/1.45 system-ui, -apple-system, "Segoe UI", sans-serif; color: var(--ink); background: var(--back); }
header, nav, main, section { padding: 0 1.25rem; }
h1 { margin: 0.8rem 0 0.4rem; font-size: 1.6rem; word-break: break-all; }
h2 { font-size: 1.2rem; margin: 1.2rem 0 0.5rem; word-break: break-all; }
h3 { font-size: 1.05rem; margin: 0.8rem 0 0.4rem; }
a { color: #1a5fb4; }
img { display: block; max-width: 100%; height: auto; background: #f5f5f5; }
img.cell { object-fit: none; object-position: 0 0; max-width: none; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: 0.1rem 0.8rem; margin: 0.4rem 0; }
dt { color: var(--muted); }
dd { margin: 0; }
.source { color: var(--muted); margin: 0 0 0.6rem; word-break: break-all; }
.controls { display: flex; flex-wrap: wrap; gap: 0.8rem; align-items: center; padding-bottom: 0.8rem; }
.controls input[type=search] { flex: 1 1 18rem; font: inherit; padding: 0.35rem 0.6rem; border: 1px solid #bbb; border-radius: 4px; }
.controls select { font: inherit; }
.shown { color: var(--muted); }
.cards { display: grid; grid-template-columns: repeat(auto-fill, minmax(15.5rem, 1fr)); gap: 1rem; padding-bottom: 2rem; }
.card { background: var(--paper); border: 1px solid var(--line); border-radius: 6px; padding: 0.6rem; }
.card[hidden] { display: none; }
.card h2 { font-size: 1rem; margin: 0.4rem 0 0.2rem; }
.card .source { font-size: 0.85rem; margin: 0; }
.card dl { font-size: 0.85rem; }
.card.damaged { border-color: var(--accent); }
.problem { color: var(--accent); font-weight: 600; word-break: break-word; }
.textures { list-style: none; margin: 0.3rem 0 0; padding: 0; display: flex; flex-wrap: wrap; gap: 0.25rem; font-size: 0.8rem; }
.textures li { background: #eef; border-radius: 3px; padding: 0 0.35rem; word-break: break-all; }
.nothing { padding: 0 1.25rem; color: var(--muted); }
.views { display: flex; flex-wrap: wrap; gap: 1rem; }
.views figure { flex: 1 1 20rem; max-width: 30rem; }
figure { margin: 0; width: max-content; max-width: 100%; }
figcaption { color: var(--muted); font-size: 0.85rem; text-align: center; }
.group { background: var(--paper); border-top: 1px solid var(--line); margin-top: 1.2rem; padding-bottom: 1rem; }
.mesh { border-top: 1px dashed var(--line); margin-top: 0.8rem; }
.material { border-collapse: collapse; margin: 0.4rem 0; font-size: 0.9rem; }
.material th { text-align: left; font-weight: normal; color: var(--muted); padding-right: 1rem; vertical-align: top; }
.material pre { margin: 0; white-space: pre-wrap; word-break: break-all; }
.swatch { display: inline-block; width: 1em; height: 1em; border: 1px solid #999; vertical-align: middle; }
.objects { list-style: none; padding: 0; display: grid; grid-template-columns: repeat(auto-fill, minmax(22rem, 1fr)); gap: 0.8rem; }
.object { border: 1px solid var(--line); border-radius: 6px; padding: 0.6rem; display: flex; flex-wrap: wrap; gap: 0.5rem; }
.object dl, .object p, .object .command { flex-basis: 100%; margin: 0; font-size: 0.9rem; }
.command { display: flex; gap: 0.4rem; align-items: flex-start; }
.command code { flex: 1; background: #f0f0f0; padding: 0.25rem 0.4rem; border-radius: 3px; word-break: break-all; }
.command button { font: inherit; font-size: 0.85rem; }
.note { color: var(--accent); }
.counts { color: var(--muted); }
/* The 3D view of a mesh page (viewer.js): above the pictures on narrow screens, docked at the
   right on wide ones, so that it stays in sight while the lists scroll. */
.view3d[hidden] { display: none; }
.view3d { padding-bottom: 1rem; }
.view-frame { position: relative; }
.view3d canvas { display: block; width: 100%; height: 60vh; min-height: 16rem; background: #f5f5f5; border: 1px solid var(--line); border-radius: 6px; touch-action: none; cursor: grab; }
.view3d canvas.dragging { cursor: grabbing; }
.view3d canvas:focus:not(:focus-visible) { outline: none; }
.view-message { position: absolute; left: 0; right: 0; top: 40%; margin: 0; text-align: center; color: var(--muted); }
.view-tip { position: absolute; pointer-events: none; background: rgba(255, 255, 255, 0.95); border: 1px solid #bbb; border-radius: 4px; padding: 0.15rem 0.45rem; font-size: 0.8rem; white-space: pre; max-width: 26rem; overflow: hidden; }
.view-bar { display: flex; flex-wrap: wrap; gap: 0.5rem; align-items: baseline; margin-top: 0.4rem; font-size: 0.9rem; }
.view-picked { flex: 1; word-break: break-all; }
.view-picked button { font: inherit; border: none; background: none; padding: 0; color: #1a5fb4; text-decoration: underline; cursor: pointer; }
.view-bar .view-reset { font: inherit; font-size: 0.85rem; }
.view-help { color: var(--muted); font-size: 0.85rem; margin: 0.3rem 0 0; }
.with-view .object, .with-view .mesh > h3, .with-view .group > h2 { cursor: pointer; }
.picked { outline: 3px solid var(--accent); outline-offset: 2px; }
@media (min-width: 1100px) {
  body.with-view { padding-right: min(45vw, 52rem); }
  .with-view .view3d { position: fixed; top: 0; right: 0; bottom: 0; width: min(45vw, 52rem); padding: 0.8rem 1rem; background: var(--paper); border-left: 1px solid var(--line); display: flex; flex-direction: column; z-index: 1; }
  .with-view .view-frame { flex: 1; min-height: 0; }
  .with-view .view3d canvas { height: 100%; }
}
)CSS";

const char *const kGalleryJs = R"JS(// The mesh gallery's own behaviour, a classic script shared by every page: on the index, the
// search box (names and textures, as you type) and the sorting of the cards; on a mesh page,
// the copy buttons of the command lines. Other scripts can be added beside it.
(function () {
  'use strict';

  function text(card, key) { return (card.getAttribute('data-' + key) || '').toLowerCase(); }
  function number(card, key) { return parseFloat(card.getAttribute('data-' + key)) || 0; }

  var sorters = {
    name: function (a, b) { return text(a, 'mesh') < text(b, 'mesh') ? -1 : text(a, 'mesh') > text(b, 'mesh') ? 1 : 0; },
    size: function (a, b) { return number(b, 'size') - number(a, 'size'); },
    extent: function (a, b) { return number(b, 'extent') - number(a, 'extent'); },
    triangles: function (a, b) { return number(b, 'triangles') - number(a, 'triangles'); }
  };

  function setUpIndex() {
    var list = document.querySelector('.cards');
    var search = document.querySelector('input[type=search]');
    var sort = document.querySelector('select.sort');
    var shown = document.querySelector('.shown');
    var nothing = document.querySelector('.nothing');
    if (!list || !search) return;
    var cards = Array.prototype.slice.call(list.querySelectorAll('.card'));

    function filter() {
      var words = search.value.toLowerCase().split(/\s+/).filter(function (w) { return w.length > 0; });
      var visible = 0;
      cards.forEach(function (card) {
        var haystack = text(card, 'mesh') + '\n' + text(card, 'textures');
        var match = words.every(function (w) { return haystack.indexOf(w) >= 0; });
        card.hidden = !match;
        if (match) visible++;
      });
      if (shown) shown.textContent = visible === cards.length
        ? cards.length + (cards.length === 1 ? ' mesh file' : ' mesh files')
        : visible + ' of ' + cards.length + ' mesh files';
      if (nothing) nothing.hidden = visible > 0;
    }

    function order() {
      var sorter = sorters[sort ? sort.value : 'name'] || sorters.name;
      cards.sort(function (a, b) { return sorter(a, b) || sorters.name(a, b); });
      cards.forEach(function (card) { list.appendChild(card); });
    }

    search.addEventListener('input', filter);
    if (sort) sort.addEventListener('change', order);
    order();
    filter();
  }

  function copyText(value, done) {
    if (navigator.clipboard && window.isSecureContext) {
      navigator.clipboard.writeText(value).then(done, function () { fallbackCopy(value, done); });
    } else {
      fallbackCopy(value, done);
    }
  }

  function fallbackCopy(value, done) {
    var area = document.createElement('textarea');
    area.value = value;
    area.setAttribute('readonly', '');
    area.style.position = 'fixed';
    area.style.opacity = '0';
    document.body.appendChild(area);
    area.select();
    var copied = false;
    try { copied = document.execCommand('copy'); } catch (e) { copied = false; }
    document.body.removeChild(area);
    if (copied) done();
  }

  function setUpCopyButtons() {
    Array.prototype.forEach.call(document.querySelectorAll('.command button.copy'), function (button) {
      button.addEventListener('click', function () {
        var code = button.parentNode.querySelector('code');
        if (!code) return;
        copyText(code.textContent, function () {
          button.textContent = 'Copied';
          setTimeout(function () { button.textContent = 'Copy'; }, 1500);
        });
      });
    });
  }

  setUpIndex();
  setUpCopyButtons();
}());
)JS";
