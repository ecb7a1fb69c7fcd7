// The 3D view of a mesh page, a classic script shared by every page of the gallery.
//
// The page names its model in <section class="view3d" data-model="...">: a classic script beside
// the page that sets window.meshGalleryModel to the mesh file's glTF binary (the model that
// propbridge export writes, base64) and, per glTF primitive, which group and mesh it is, its
// colour in the pictures, the first vertex of each separate object and the object of every
// vertex. Browsers fetch nothing from file:// and import no modules there, so the model comes
// in as a script, added only once WebGL has been found to work: without WebGL the section stays
// hidden and the page shows its still pictures only.
//
// Drawn with WebGL 1, in the game's axes (Z up), from the still pictures' angle, each mesh in the
// colour and flat shade of the pictures. Drag turns, the wheel zooms, the right button or Shift
// with a drag pans, the arrow keys turn (with Shift: pan), + and - zoom, Home turns back. A click
// in the view, or on an entry of the page (object, mesh or group), highlights that part and dims
// the rest; the entry is marked and scrolled into sight; Escape lets go. Hovering names the part
// under the pointer and its textures.
//
// window.meshGalleryView, once the view is ready, is a small hook for scripts: select(group,
// mesh, firstVertex) (mesh and vertex may be left out, null clears), turn(dx, dy) (as a drag of
// that many pixels) and drawNow() (draws, waits for the picture and returns the milliseconds).
(function () {
  'use strict';

  var section = document.querySelector('section.view3d[data-model]');
  if (!section) return;

  // The still pictures' colours, light and angle (the library's preview renderer).
  var BACKGROUND = [245 / 255, 245 / 255, 245 / 255];
  var HIGHLIGHT = [235 / 255, 90 / 255, 30 / 255];
  var FADE = 0.6;
  var LIGHT = [-0.4, -0.5, 0.77];
  var START = { yaw: 0.61, pitch: 0.52 };
  var FIELD = 30 * Math.PI / 180;  // vertical field of view
  var FILL = 0.9;                  // share of the view the mesh fills at the start
  var DRAG_TURN = 0.01;            // radians per pixel dragged
  var CLICK_SLOP = 4;              // pixels a press may move and still be a click
  var SETTLE = 150;                // milliseconds without a move before a still frame is drawn
  // A model of more triangles than this is drawn from a coarse copy of about COARSE_TRIANGLES
  // while it moves, so that it turns smoothly even where WebGL is drawn in software.
  var COARSE_FROM = 150000;
  var COARSE_TRIANGLES = 60000;

  var VERTEX_SHADER = [
    'attribute vec3 aPosition;',
    'attribute float aObject;',
    'uniform mat4 uViewProjection;',
    'uniform vec3 uCentre;',
    'uniform float uMode;',    // 0 nothing picked, 1 dimmed, 2 picked whole, 3 picked where aObject is uObject
    'uniform float uObject;',
    'varying vec3 vPosition;',
    'varying float vPicked;',
    'varying vec2 vObjectBytes;',
    'void main() {',
    // glTF's Y-up point (x, y, z) is the game's (x, -z, y).
    '  vec3 p = vec3(aPosition.x, -aPosition.z, aPosition.y);',
    '  vPosition = p - uCentre;',
    '  vPicked = uMode > 2.5 ? (abs(aObject - uObject) < 0.5 ? 1.0 : 0.0) : (uMode > 1.5 ? 1.0 : 0.0);',
    '  float high = floor(aObject / 256.0);',
    '  vObjectBytes = vec2(aObject - high * 256.0, high) / 255.0;',
    '  gl_Position = uViewProjection * vec4(p, 1.0);',
    '}'
  ].join('\n');

  var PRECISION = [
    '#ifdef GL_FRAGMENT_PRECISION_HIGH',
    'precision highp float;',
    '#else',
    'precision mediump float;',
    '#endif'
  ].join('\n');

  // Flat shading from the surface's own slope, lit from either side, as in the pictures.
  var SURFACE_SHADER = [
    '#extension GL_OES_standard_derivatives : enable',
    PRECISION,
    'uniform vec3 uColour;',
    'uniform vec3 uLight;',
    'uniform vec3 uHighlight;',
    'uniform vec3 uBackground;',
    'uniform float uMode;',
    'uniform float uThrough;',  // 1: only the picked part, where something nearer hides it
    'varying vec3 vPosition;',
    'varying float vPicked;',
    'void main() {',
    '  if (uThrough > 0.5 && vPicked < 0.5) discard;',
    '  vec3 normal = cross(dFdx(vPosition), dFdy(vPosition));',
    '  float size = length(normal);',
    '  float lit = size > 0.0 ? abs(dot(normal, uLight)) / size : 0.0;',
    '  vec3 colour = (vPicked > 0.5 ? uHighlight : uColour) * (0.35 + 0.65 * lit);',
    '  if (uMode > 0.5 && vPicked < 0.5) colour = mix(colour, uBackground, ' + FADE.toFixed(2) + ');',
    '  gl_FragColor = vec4(colour, uThrough > 0.5 ? 0.5 : 1.0);',
    '}'
  ].join('\n');

  // A still frame: the supersampled picture averaged down.
  var CORNER_SHADER = [
    'attribute vec2 aPosition;',
    'varying vec2 vAt;',
    'void main() {',
    '  vAt = aPosition * 0.5 + 0.5;',
    '  gl_Position = vec4(aPosition, 0.0, 1.0);',
    '}'
  ].join('\n');
  var RESOLVE_SHADER = [
    PRECISION,
    'uniform sampler2D uPicture;',
    'varying vec2 vAt;',
    'void main() { gl_FragColor = texture2D(uPicture, vAt); }'
  ].join('\n');

  // Which part and object covers each pixel: part number + 1 in red and green, object in blue and alpha.
  var PICK_SHADER = [
    PRECISION,
    'uniform vec2 uPart;',
    'varying vec2 vObjectBytes;',
    'void main() { gl_FragColor = vec4(uPart, vObjectBytes); }'
  ].join('\n');

  // No multisampling: drawn in software it costs four times as much per triangle. Still frames
  // are supersampled instead (drawStill), frames in motion are not smoothed.
  var canvas = document.createElement('canvas');
  var gl = canvas.getContext('webgl', { antialias: false, alpha: false }) ||
           canvas.getContext('experimental-webgl', { antialias: false, alpha: false });
  if (!gl || !gl.getExtension('OES_standard_derivatives')) return;  // the still pictures stay alone
  var wideIndices = gl.getExtension('OES_element_index_uint');

  // ---------------------------------------------------------------------------------------
  // The view's elements, made here so that pages without WebGL carry none of them.

  function element(tag, className, text) {
    var e = document.createElement(tag);
    if (className) e.className = className;
    if (text) e.textContent = text;
    return e;
  }

  var title = document.querySelector('h1');
  canvas.tabIndex = 0;
  canvas.setAttribute('aria-label', '3D view of ' + (title ? title.textContent : 'the mesh file') +
    ': drag to turn, wheel to zoom, right-drag or Shift-drag to pan, arrow keys to turn, + and - to zoom');
  var frame = element('div', 'view-frame');
  var tip = element('div', 'view-tip');
  tip.hidden = true;
  var message = element('p', 'view-message', 'Loading the 3D model\u2026');
  frame.appendChild(canvas);
  frame.appendChild(tip);
  frame.appendChild(message);
  var bar = element('div', 'view-bar');
  var picked = element('span', 'view-picked');
  picked.setAttribute('aria-live', 'polite');
  var reset = element('button', 'view-reset', 'Reset view');
  reset.type = 'button';
  bar.appendChild(picked);
  bar.appendChild(reset);
  section.appendChild(frame);
  section.appendChild(bar);
  section.appendChild(element('p', 'view-help', 'Drag to turn, wheel to zoom, right-drag or Shift-drag to pan. ' +
    'Click an object, here or in the lists, to pick it.'));
  section.hidden = false;
  document.body.classList.add('with-view');

  function setState(state, text) {
    section.setAttribute('data-state', state);
    message.textContent = text || '';
    message.hidden = !text;
  }
  setState('loading', 'Loading the 3D model\u2026');

  // ---------------------------------------------------------------------------------------
  // The model: the glTF binary read into one draw per primitive.

  function decodeBase64(text) {
    var binary = atob(text);
    var bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  // The JSON and binary chunks of a glTF binary; throws on anything else.
  function readGlb(bytes) {
    var data = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    if (bytes.length < 20 || data.getUint32(0, true) !== 0x46546C67 || data.getUint32(4, true) !== 2)
      throw new Error('the model is no glTF 2.0 binary');
    var json = null, bin = new Uint8Array(0);
    for (var at = 12; at + 8 <= bytes.length;) {
      var length = data.getUint32(at, true), type = data.getUint32(at + 4, true);
      if (length > bytes.length - at - 8) throw new Error('a chunk of the model runs past its end');
      var chunk = bytes.subarray(at + 8, at + 8 + length);
      if (type === 0x4E4F534A && !json) json = JSON.parse(new TextDecoder('utf-8').decode(chunk));
      else if (type === 0x004E4942) bin = chunk;
      at += 8 + length;
    }
    if (!json) throw new Error('the model has no JSON chunk');
    return { json: json, bin: bin };
  }

  var COMPONENT_SIZE = { 5121: 1, 5123: 2, 5125: 4, 5126: 4 };
  var TYPE_SIZE = { SCALAR: 1, VEC2: 2, VEC3: 3, VEC4: 4 };

  // Where accessor `index` lies in the binary chunk, checked against it.
  function accessorRange(model, index) {
    var accessor = (model.json.accessors || [])[index];
    var view = accessor && (model.json.bufferViews || [])[accessor.bufferView];
    if (!accessor || !view || view.buffer !== 0) throw new Error('accessor ' + index + ' has no data in the model');
    var element = COMPONENT_SIZE[accessor.componentType] * TYPE_SIZE[accessor.type];
    var stride = view.byteStride || element;
    var start = (view.byteOffset || 0) + (accessor.byteOffset || 0);
    var end = accessor.count > 0 ? start + stride * (accessor.count - 1) + element : start;
    if (!element || end > (view.byteOffset || 0) + view.byteLength || end > model.bin.length)
      throw new Error('accessor ' + index + ' runs past its data');
    return { start: start, end: end, stride: stride, count: accessor.count, type: accessor.componentType };
  }

  function upload(target, bytes) {
    var buffer = gl.createBuffer();
    gl.bindBuffer(target, buffer);
    gl.bufferData(target, bytes, gl.STATIC_DRAW);
    return buffer;
  }

  // One draw per primitive, in the model's node order (node n is group n).
  function buildParts(model, described) {
    var parts = [];
    var nodes = model.json.nodes || [];
    for (var n = 0; n < nodes.length; n++) {
      var mesh = (model.json.meshes || [])[nodes[n].mesh];
      var primitives = mesh ? mesh.primitives || [] : [];
      for (var p = 0; p < primitives.length; p++) {
        var about = described[parts.length];
        if (!about) throw new Error('the model has more primitives than the page describes');
        var positions = accessorRange(model, primitives[p].attributes.POSITION);
        var indices = accessorRange(model, primitives[p].indices);
        if (indices.type === 5125 && !wideIndices) continue;
        var objectOfVertex = new Uint16Array(positions.count);
        var runs = about.runs || [];
        for (var r = 0; r + 1 < runs.length; r += 2) {
          var end = r + 2 < runs.length ? Math.min(runs[r + 2], positions.count) : positions.count;
          for (var v = runs[r]; v < end; v++) objectOfVertex[v] = runs[r + 1];
        }
        var indexBytes = model.bin.subarray(indices.start, indices.end);
        if (indexBytes.byteOffset % 4) indexBytes = indexBytes.slice();
        var indexData = indices.type === 5121 ? indexBytes
          : indices.type === 5123 ? new Uint16Array(indexBytes.buffer, indexBytes.byteOffset, indices.count)
          : new Uint32Array(indexBytes.buffer, indexBytes.byteOffset, indices.count);
        parts.push({
          group: about.group,
          mesh: about.mesh,
          colour: about.colour.map(function (c) { return c / 255; }),
          firstVertices: about.objects,
          positions: upload(gl.ARRAY_BUFFER, model.bin.subarray(positions.start, positions.end)),
          stride: positions.stride,
          objects: upload(gl.ARRAY_BUFFER, objectOfVertex),
          objectOfVertex: objectOfVertex,
          indices: upload(gl.ELEMENT_ARRAY_BUFFER, indexBytes),
          indexData: indexData,
          indexType: indices.type,
          indexCount: indices.count - indices.count % 3,
          positionData: new DataView(model.bin.buffer, model.bin.byteOffset + positions.start,
                                     positions.end - positions.start),
          vertexCount: positions.count
        });
      }
    }
    return parts;
  }

  // ---------------------------------------------------------------------------------------
  // Shaders

  function compile(type, source) {
    var shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS) && !gl.isContextLost())
      throw new Error('a shader does not compile: ' + gl.getShaderInfoLog(shader));
    return shader;
  }

  function program(vertexSource, fragmentSource) {
    var p = gl.createProgram();
    gl.attachShader(p, compile(gl.VERTEX_SHADER, vertexSource));
    gl.attachShader(p, compile(gl.FRAGMENT_SHADER, fragmentSource));
    gl.bindAttribLocation(p, 0, 'aPosition');
    gl.bindAttribLocation(p, 1, 'aObject');
    gl.linkProgram(p);
    if (!gl.getProgramParameter(p, gl.LINK_STATUS) && !gl.isContextLost())
      throw new Error('the shaders do not link: ' + gl.getProgramInfoLog(p));
    var uniforms = {};
    ['uViewProjection', 'uCentre', 'uMode', 'uObject', 'uColour', 'uLight', 'uHighlight', 'uBackground',
      'uThrough', 'uPart', 'uPicture'].forEach(function (name) { uniforms[name] = gl.getUniformLocation(p, name); });
    return { program: p, uniforms: uniforms };
  }

  // ---------------------------------------------------------------------------------------
  // The camera: it looks at `target` from `distance`, turned `yaw` about Z from the front
  // (looking along +Y) and `pitch` above the ground, as the pictures' angle is given.

  function axes(camera) {
    var cy = Math.cos(camera.yaw), sy = Math.sin(camera.yaw);
    var cp = Math.cos(camera.pitch), sp = Math.sin(camera.pitch);
    return {
      right: [cy, sy, 0],
      up: [-sy * sp, cy * sp, cp],
      away: [-sy * cp, cy * cp, -sp]  // from the eye into the scene
    };
  }

  function dot(a, b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

  function viewProjection(camera, aspect, radius) {
    var a = axes(camera);
    var eye = [0, 1, 2].map(function (i) { return camera.target[i] - a.away[i] * camera.distance; });
    var near = Math.max(camera.distance - radius, camera.distance * 0.01, radius * 1e-4);
    var far = camera.distance + radius;
    var f = 1 / Math.tan(FIELD / 2);
    // Rows of the view: right, up and towards the eye; then the perspective.
    var rows = [a.right, a.up, [-a.away[0], -a.away[1], -a.away[2]]];
    var view = rows.map(function (row) { return [row[0], row[1], row[2], -dot(row, eye)]; });
    var z = (far + near) / (near - far), w = 2 * far * near / (near - far);
    var m = new Float32Array(16);  // column-major
    for (var c = 0; c < 4; c++) {
      m[c * 4] = f / aspect * view[0][c];
      m[c * 4 + 1] = f * view[1][c];
      m[c * 4 + 2] = z * view[2][c] + (c === 3 ? w : 0);
      m[c * 4 + 3] = -view[2][c];
    }
    return m;
  }

  // The camera at the pictures' angle that shows every vertex, centred, filling FILL of the view.
  function framing(parts, aspect) {
    var camera = { yaw: START.yaw, pitch: START.pitch, target: [0, 0, 0], distance: 1 };
    var a = axes(camera);
    var low = [Infinity, Infinity, Infinity], high = [-Infinity, -Infinity, -Infinity];
    var box = [Infinity, Infinity, Infinity, -Infinity, -Infinity, -Infinity];
    parts.forEach(function (part) {
      for (var v = 0, at = 0; v < part.vertexCount; v++, at += part.stride) {
        var x = part.positionData.getFloat32(at, true), z = part.positionData.getFloat32(at + 4, true);
        var p = [x, -part.positionData.getFloat32(at + 8, true), z];
        if (!isFinite(p[0]) || !isFinite(p[1]) || !isFinite(p[2])) continue;
        var projected = [dot(p, a.right), dot(p, a.up), dot(p, a.away)];
        for (var i = 0; i < 3; i++) {
          low[i] = Math.min(low[i], projected[i]);
          high[i] = Math.max(high[i], projected[i]);
          box[i] = Math.min(box[i], p[i]);
          box[i + 3] = Math.max(box[i + 3], p[i]);
        }
      }
    });
    if (!(low[0] <= high[0])) return null;
    var middle = [0, 1, 2].map(function (i) { return (low[i] + high[i]) / 2; });
    camera.target = [0, 1, 2].map(function (i) {
      return a.right[i] * middle[0] + a.up[i] * middle[1] + a.away[i] * middle[2];
    });
    var halfWidth = (high[0] - low[0]) / 2, halfHeight = (high[1] - low[1]) / 2, halfDepth = (high[2] - low[2]) / 2;
    var radius = Math.sqrt(halfWidth * halfWidth + halfHeight * halfHeight + halfDepth * halfDepth) || 1;
    var fit = Math.max(halfHeight, halfWidth / aspect, radius * 1e-3) / (FILL * Math.tan(FIELD / 2));
    camera.distance = fit + halfDepth;
    return { camera: camera, radius: radius, box: box,
             centre: [0, 1, 2].map(function (i) { return (box[i] + box[i + 3]) / 2; }) };
  }

  // ---------------------------------------------------------------------------------------
  // The coarse copy of a large model, drawn while it moves: vertex clustering. Each vertex
  // stands for the vertices of its object in its cell of a grid over the model (the first one
  // found there); a triangle whose corners fall into three cells is kept, with those vertices.
  // It uses the model's own vertices, so only index lists are added.

  function position(part, v, out) {
    var at = v * part.stride;
    out[0] = part.positionData.getFloat32(at, true);
    out[1] = -part.positionData.getFloat32(at + 8, true);
    out[2] = part.positionData.getFloat32(at + 4, true);
    return out;
  }

  // The coarse triangles of `part` on a grid of cubes of side `size` from the box's low corner.
  function clusterPart(part, box, size) {
    var counts = [0, 1, 2].map(function (i) { return Math.floor((box[i + 3] - box[i]) / size) + 1; });
    var standIn = new Uint32Array(part.vertexCount), first = new Map(), p = [0, 0, 0];
    for (var v = 0; v < part.vertexCount; v++) {
      position(part, v, p);
      var cell = [0, 1, 2].map(function (i) {
        return Math.max(0, Math.min(counts[i] - 1, Math.floor((p[i] - box[i]) / size) || 0));
      });
      var key = ((cell[2] * counts[1] + cell[1]) * counts[0] + cell[0]) * 65536 + part.objectOfVertex[v];
      var found = first.get(key);
      if (found === undefined) first.set(key, v);
      standIn[v] = found === undefined ? v : found;
    }
    var kept = [], seen = new Set(), indices = part.indexData;
    for (var t = 0; t + 2 < part.indexCount; t += 3) {
      var a = standIn[indices[t]], b = standIn[indices[t + 1]], c = standIn[indices[t + 2]];
      if (a === b || b === c || a === c) continue;
      var low = Math.min(a, b, c), high = Math.max(a, b, c), middle = a + b + c - low - high;
      var triangle = (low * 65536 + middle) * 65536 + high;
      if (seen.has(triangle)) continue;
      seen.add(triangle);
      kept.push(a, b, c);
    }
    return kept;
  }

  // The surface area of every part together.
  function surfaceArea() {
    var area = 0, a = [0, 0, 0], b = [0, 0, 0], c = [0, 0, 0];
    parts.forEach(function (part) {
      for (var t = 0; t + 2 < part.indexCount; t += 3) {
        position(part, part.indexData[t], a);
        position(part, part.indexData[t + 1], b);
        position(part, part.indexData[t + 2], c);
        var u = [b[0] - a[0], b[1] - a[1], b[2] - a[2]], w = [c[0] - a[0], c[1] - a[1], c[2] - a[2]];
        var n = [u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]];
        var twice = Math.sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (isFinite(twice)) area += twice / 2;
      }
    });
    return area;
  }

  // Coarse index lists for every part, with about COARSE_TRIANGLES triangles in all: each cell
  // of the grid holds about two of them where a surface crosses it.
  function buildCoarse(box) {
    var volume = (box[3] - box[0] + 1e-6) * (box[4] - box[1] + 1e-6) * (box[5] - box[2] + 1e-6);
    var smallest = Math.cbrt(volume / 1e10);  // keeps every cell's number exact in a double
    var size = Math.max(smallest, Math.sqrt(2 * surfaceArea() / COARSE_TRIANGLES)) || 1;
    var lists = null;
    for (var round = 0; round < 4; round++) {
      lists = parts.map(function (part) { return clusterPart(part, box, size); });
      var total = lists.reduce(function (sum, list) { return sum + list.length / 3; }, 0);
      if (total <= COARSE_TRIANGLES * 1.5 && (total >= COARSE_TRIANGLES / 2 || size <= smallest)) break;
      size = Math.max(smallest, size * Math.sqrt(total / COARSE_TRIANGLES));
    }
    parts.forEach(function (part, i) {
      var wide = part.vertexCount > 65536;
      var list = wide ? new Uint32Array(lists[i]) : new Uint16Array(lists[i]);
      part.coarse = { buffer: upload(gl.ELEMENT_ARRAY_BUFFER, list), count: list.length,
                      type: wide ? gl.UNSIGNED_INT : gl.UNSIGNED_SHORT };
    });
  }

  // ---------------------------------------------------------------------------------------
  // The view

  var parts = [];
  var surface, pick, resolve;
  var home = null, camera = null, radius = 1, centre = [0, 0, 0];
  var selection = null;     // {group, mesh (or null), object index (or null)}
  var coarse = false;       // whether moving frames draw the coarse copy
  var moving = false, settle = null;
  var still = null;         // the supersampled picture of a still frame: {framebuffer, texture, depth, width, height}
  var picks = {};           // 'full' and 'coarse': {framebuffer, texture, depth, width, height, pixels}
  var corners = null;       // the square that the still picture is averaged down onto
  var redrawPending = false;

  function resize() {
    var scale = Math.min(window.devicePixelRatio || 1, 2);
    var width = Math.max(1, Math.round(canvas.clientWidth * scale));
    var height = Math.max(1, Math.round(canvas.clientHeight * scale));
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
  }

  // A framebuffer of `width` x `height` with a colour texture (filtered linearly when `smooth`)
  // and a depth buffer; `target` is the one to use again when it has that size.
  function framebuffer(target, width, height, smooth) {
    if (target && target.width === width && target.height === height) return target;
    if (target) {
      gl.deleteFramebuffer(target.framebuffer);
      gl.deleteTexture(target.texture);
      gl.deleteRenderbuffer(target.depth);
    }
    var made = { width: width, height: height, pixels: null };
    made.texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, made.texture);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, smooth ? gl.LINEAR : gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, smooth ? gl.LINEAR : gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    made.depth = gl.createRenderbuffer();
    gl.bindRenderbuffer(gl.RENDERBUFFER, made.depth);
    gl.renderbufferStorage(gl.RENDERBUFFER, gl.DEPTH_COMPONENT16, width, height);
    made.framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, made.framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, made.texture, 0);
    gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.DEPTH_ATTACHMENT, gl.RENDERBUFFER, made.depth);
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) !== gl.FRAMEBUFFER_COMPLETE) made.framebuffer = null;
    return made;
  }

  function partMode(part) {
    if (!selection) return { mode: 0, object: 0 };
    if (part.group !== selection.group || (selection.mesh !== null && part.mesh !== selection.mesh))
      return { mode: 1, object: 0 };
    if (selection.object === null) return { mode: 2, object: 0 };
    return { mode: 3, object: selection.object };
  }

  // Draws `part`, or its coarse copy with `rough`.
  function drawPart(part, rough) {
    gl.bindBuffer(gl.ARRAY_BUFFER, part.positions);
    gl.vertexAttribPointer(0, 3, gl.FLOAT, false, part.stride, 0);
    gl.bindBuffer(gl.ARRAY_BUFFER, part.objects);
    gl.vertexAttribPointer(1, 1, gl.UNSIGNED_SHORT, false, 0, 0);
    var list = rough && part.coarse ? part.coarse : { buffer: part.indices, count: part.indexCount, type: part.indexType };
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, list.buffer);
    gl.drawElements(gl.TRIANGLES, list.count, list.type, 0);
  }

  function setCommon(shader) {
    gl.useProgram(shader.program);
    gl.uniformMatrix4fv(shader.uniforms.uViewProjection, false,
                        viewProjection(camera, canvas.width / canvas.height, radius));
    gl.uniform3fv(shader.uniforms.uCentre, centre);
  }

  function startScene(target, width, height, colour) {
    gl.bindFramebuffer(gl.FRAMEBUFFER, target);
    gl.viewport(0, 0, width, height);
    gl.clearColor(colour[0], colour[1], colour[2], colour[3]);
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    gl.enable(gl.DEPTH_TEST);
    gl.depthFunc(gl.LEQUAL);
    gl.depthMask(true);
    gl.disable(gl.BLEND);
  }

  // The mesh as the pictures show it, into the framebuffer bound.
  function drawScene(rough) {
    setCommon(surface);
    var u = surface.uniforms;
    gl.uniform3fv(u.uLight, LIGHT);
    gl.uniform3fv(u.uHighlight, HIGHLIGHT);
    gl.uniform3fv(u.uBackground, BACKGROUND);
    gl.uniform1f(u.uThrough, 0);
    parts.forEach(function (part) {
      var how = partMode(part);
      gl.uniform1f(u.uMode, how.mode);
      gl.uniform1f(u.uObject, how.object);
      gl.uniform3fv(u.uColour, part.colour);
      drawPart(part, rough);
    });
    // The picked part also shows where something nearer hides it, half seen through.
    if (!selection) return;
    gl.depthFunc(gl.GREATER);
    gl.depthMask(false);
    gl.enable(gl.BLEND);
    gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
    gl.uniform1f(u.uThrough, 1);
    parts.forEach(function (part) {
      var how = partMode(part);
      if (how.mode < 2) return;
      gl.uniform1f(u.uMode, how.mode);
      gl.uniform1f(u.uObject, how.object);
      drawPart(part, rough);
    });
    gl.depthMask(true);
  }

  // A still frame is drawn at twice the size each way and averaged down, as the pictures are:
  // sampled between four texels, linear filtering gives their mean.
  function drawStill() {
    var limit = Math.min(gl.getParameter(gl.MAX_TEXTURE_SIZE), gl.getParameter(gl.MAX_RENDERBUFFER_SIZE));
    var width = canvas.width * 2, height = canvas.height * 2;
    if (width <= limit && height <= limit) still = framebuffer(still, width, height, true);
    if (!still || !still.framebuffer || still.width !== width) {
      startScene(null, canvas.width, canvas.height, BACKGROUND.concat([1]));
      drawScene(false);
      return;
    }
    startScene(still.framebuffer, width, height, BACKGROUND.concat([1]));
    drawScene(false);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.viewport(0, 0, canvas.width, canvas.height);
    gl.disable(gl.DEPTH_TEST);
    gl.disable(gl.BLEND);
    gl.useProgram(resolve.program);
    gl.activeTexture(gl.TEXTURE0);
    gl.bindTexture(gl.TEXTURE_2D, still.texture);
    gl.uniform1i(resolve.uniforms.uPicture, 0);
    gl.disableVertexAttribArray(1);
    gl.bindBuffer(gl.ARRAY_BUFFER, corners);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    gl.bindTexture(gl.TEXTURE_2D, null);
    gl.enableVertexAttribArray(1);
  }

  function draw() {
    redrawPending = false;
    if (!camera || gl.isContextLost()) return;
    resize();
    if (moving) {
      startScene(null, canvas.width, canvas.height, BACKGROUND.concat([1]));
      drawScene(coarse);
    } else {
      drawStill();
    }
    section.setAttribute('data-frame', moving ? 'moving' : 'still');
    picks.full = picks.full && (picks.full.pixels = null, picks.full);
    picks.coarse = picks.coarse && (picks.coarse.pixels = null, picks.coarse);
  }

  function redraw() {
    if (redrawPending) return;
    redrawPending = true;
    requestAnimationFrame(draw);
  }

  // The camera moved: frames are quick until it rests for SETTLE milliseconds, then a still
  // frame follows.
  function moved() {
    moving = true;
    clearTimeout(settle);
    settle = setTimeout(function () {
      moving = false;
      redraw();
    }, SETTLE);
    redraw();
  }

  // The part and object under each pixel (the coarse copy's with `rough`), drawn again only
  // after the view changed.
  function pickPixels(rough) {
    var level = rough && coarse ? 'coarse' : 'full';
    var buffer = picks[level] = framebuffer(picks[level], canvas.width, canvas.height, false);
    if (buffer.pixels || !buffer.framebuffer) return buffer;
    startScene(buffer.framebuffer, canvas.width, canvas.height, [0, 0, 0, 0]);
    setCommon(pick);
    parts.forEach(function (part, i) {
      if (i + 1 > 65535) return;  // beyond what the red and green bytes can number
      gl.uniform2f(pick.uniforms.uPart, ((i + 1) & 255) / 255, ((i + 1) >> 8) / 255);
      drawPart(part, level === 'coarse');
    });
    buffer.pixels = new Uint8Array(canvas.width * canvas.height * 4);
    gl.readPixels(0, 0, canvas.width, canvas.height, gl.RGBA, gl.UNSIGNED_BYTE, buffer.pixels);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    return buffer;
  }

  // What lies under the pointer at (x, y), in CSS pixels of the canvas: {part, object}, or
  // null. `rough`: from the coarse copy of a large model, which is quicker (for hovering).
  function partAt(x, y, rough) {
    if (!camera) return null;
    var buffer = pickPixels(rough);
    if (!buffer.pixels) return null;
    var px = Math.floor(x * canvas.width / canvas.clientWidth);
    var py = canvas.height - 1 - Math.floor(y * canvas.height / canvas.clientHeight);
    if (px < 0 || py < 0 || px >= buffer.width || py >= buffer.height) return null;
    var at = (py * buffer.width + px) * 4, p = buffer.pixels;
    var part = p[at] + (p[at + 1] << 8) - 1;
    if (part < 0 || part >= parts.length) return null;
    return { part: parts[part], object: p[at + 2] + (p[at + 3] << 8) };
  }

  // ---------------------------------------------------------------------------------------
  // The page's entries: object (data-object="<group> <mesh> <first vertex>"), mesh (id
  // g<group>m<mesh>) and group (id g<group>).

  function entryOf(group, mesh, firstVertex) {
    if (firstVertex !== null && firstVertex !== undefined)
      return document.querySelector('[data-object="' + group + ' ' + mesh + ' ' + firstVertex + '"]');
    return document.getElementById(mesh !== null && mesh !== undefined ? 'g' + group + 'm' + mesh : 'g' + group);
  }

  function groupLabel(group) {
    var name = document.querySelector('#g' + group + ' > h2 > q');
    return 'group ' + group + (name ? ' \u201C' + name.textContent + '\u201D' : '');
  }

  function texturesOf(group, mesh) {
    var lines = [];
    var rows = document.querySelectorAll('#g' + group + 'm' + mesh + ' table.material tr');
    Array.prototype.forEach.call(rows, function (row) {
      var name = row.querySelector('td > .texture'), slot = row.querySelector('th');
      if (name && slot) lines.push(slot.textContent + ': ' + name.textContent);
    });
    return lines.length ? lines : ['no texture'];
  }

  function firstVertexOf(part, object) {
    var first = part.firstVertices[object];
    return first === undefined ? null : first;
  }

  var markedEntry = null;

  function showSelection(scroll) {
    if (markedEntry) markedEntry.classList.remove('picked');
    markedEntry = null;
    while (picked.firstChild) picked.removeChild(picked.firstChild);
    if (!selection) {
      picked.textContent = 'Nothing picked.';
      return;
    }
    var s = selection;
    var vertex = null;
    if (s.object !== null) {
      parts.forEach(function (part) {
        if (part.group === s.group && part.mesh === s.mesh) vertex = firstVertexOf(part, s.object);
      });
    }
    markedEntry = entryOf(s.group, s.mesh, vertex);
    if (markedEntry) {
      markedEntry.classList.add('picked');
      if (scroll) markedEntry.scrollIntoView({ block: 'nearest' });
    }
    // Each level of the selection picks that level when clicked.
    var levels = [{ text: groupLabel(s.group), pick: { group: s.group, mesh: null, object: null } }];
    if (s.mesh !== null) levels.push({ text: 'mesh ' + s.mesh, pick: { group: s.group, mesh: s.mesh, object: null } });
    if (vertex !== null) levels.push({ text: 'object from vertex ' + vertex, pick: s });
    picked.appendChild(document.createTextNode('Picked: '));
    levels.forEach(function (level, i) {
      if (i > 0) picked.appendChild(document.createTextNode(' \u203A '));
      var button = element('button', 'view-level', level.text);
      button.type = 'button';
      button.addEventListener('click', function () { select(level.pick, true); });
      picked.appendChild(button);
    });
    var clear = element('button', 'view-clear', 'clear');
    clear.type = 'button';
    clear.addEventListener('click', function () { select(null, false); });
    picked.appendChild(document.createTextNode(' '));
    picked.appendChild(clear);
  }

  function select(what, scroll) {
    selection = what;
    showSelection(scroll);
    redraw();
  }

  // A click on an entry of the page picks that object, mesh or group.
  function selectEntry(target) {
    var entry = target.closest('[data-object], article.mesh[id], section.group[id]');
    if (!entry) return false;
    var words;
    if (entry.hasAttribute('data-object')) {
      words = entry.getAttribute('data-object').split(' ').map(Number);
      var part = parts.filter(function (p) { return p.group === words[0] && p.mesh === words[1]; })[0];
      var object = part ? part.firstVertices.indexOf(words[2]) : -1;
      select({ group: words[0], mesh: words[1], object: object >= 0 ? object : null }, false);
      return true;
    }
    words = /^g(\d+)(?:m(\d+))?$/.exec(entry.id);
    if (!words) return false;
    select({ group: Number(words[1]), mesh: words[2] === undefined ? null : Number(words[2]), object: null }, false);
    return true;
  }

  // ---------------------------------------------------------------------------------------
  // Mouse, touch and keys

  var press = null;  // {x, y, mode: 'turn'|'pan', moved, pointer}

  function turn(dx, dy) {
    camera.yaw -= dx * DRAG_TURN;
    camera.pitch = Math.max(-1.55, Math.min(1.55, camera.pitch + dy * DRAG_TURN));
    moved();
  }

  function pan(dx, dy) {
    var a = axes(camera);
    var perPixel = 2 * camera.distance * Math.tan(FIELD / 2) / Math.max(1, canvas.clientHeight);
    for (var i = 0; i < 3; i++) camera.target[i] += (-a.right[i] * dx + a.up[i] * dy) * perPixel;
    moved();
  }

  function zoom(factor) {
    camera.distance = Math.max(radius * 0.01, Math.min(radius * 100, camera.distance * factor));
    moved();
  }

  function localPoint(event) {
    var box = canvas.getBoundingClientRect();
    return { x: event.clientX - box.left, y: event.clientY - box.top };
  }

  function hideTip() { tip.hidden = true; }

  function showTip(event) {
    var point = localPoint(event);
    var hit = partAt(point.x, point.y, true);
    if (!hit) return hideTip();
    var vertex = firstVertexOf(hit.part, hit.object);
    var lines = [groupLabel(hit.part.group) + ', mesh ' + hit.part.mesh +
                 (vertex !== null ? ', object from vertex ' + vertex : '')]
      .concat(texturesOf(hit.part.group, hit.part.mesh));
    tip.textContent = lines.join('\n');
    tip.hidden = false;
    var left = Math.min(point.x + 14, Math.max(0, canvas.clientWidth - tip.offsetWidth - 4));
    var top = point.y + 18 + tip.offsetHeight > canvas.clientHeight ? point.y - tip.offsetHeight - 8 : point.y + 18;
    tip.style.left = left + 'px';
    tip.style.top = Math.max(0, top) + 'px';
  }

  canvas.addEventListener('pointerdown', function (event) {
    if (!camera || (event.button !== 0 && event.button !== 2)) return;
    press = { x: event.clientX, y: event.clientY, moved: 0, pointer: event.pointerId,
              mode: event.button === 2 || event.shiftKey ? 'pan' : 'turn' };
    canvas.setPointerCapture(event.pointerId);
    canvas.classList.add('dragging');
    hideTip();
    event.preventDefault();
    canvas.focus({ preventScroll: true, focusVisible: false });
  });

  canvas.addEventListener('pointermove', function (event) {
    if (!press) {
      if (camera && event.pointerType === 'mouse') showTip(event);
      return;
    }
    if (event.pointerId !== press.pointer) return;
    var dx = event.clientX - press.x, dy = event.clientY - press.y;
    press.x = event.clientX;
    press.y = event.clientY;
    press.moved += Math.abs(dx) + Math.abs(dy);
    if (press.moved <= CLICK_SLOP) return;
    if (press.mode === 'pan') pan(dx, dy);
    else turn(dx, dy);
  });

  function release(event) {
    if (!press || event.pointerId !== press.pointer) return;
    var click = press.moved <= CLICK_SLOP && press.mode === 'turn' && event.type === 'pointerup';
    press = null;
    canvas.classList.remove('dragging');
    if (!click) return;
    var point = localPoint(event);
    var hit = partAt(point.x, point.y, false);
    select(hit ? { group: hit.part.group, mesh: hit.part.mesh,
                   object: firstVertexOf(hit.part, hit.object) !== null ? hit.object : null } : null, true);
  }
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointercancel', release);
  canvas.addEventListener('pointerleave', hideTip);
  canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });

  canvas.addEventListener('wheel', function (event) {
    if (!camera) return;
    event.preventDefault();
    var lines = event.deltaMode === 1 ? 16 : event.deltaMode === 2 ? 400 : 1;
    zoom(Math.exp(event.deltaY * lines * 0.0015));
  }, { passive: false });

  canvas.addEventListener('keydown', function (event) {
    if (!camera) return;
    var step = 20;
    var moves = {
      ArrowLeft: function () { (event.shiftKey ? pan : turn)(-step, 0); },
      ArrowRight: function () { (event.shiftKey ? pan : turn)(step, 0); },
      ArrowUp: function () { (event.shiftKey ? pan : turn)(0, -step); },
      ArrowDown: function () { (event.shiftKey ? pan : turn)(0, step); },
      '+': function () { zoom(1 / 1.2); },
      '=': function () { zoom(1 / 1.2); },
      '-': function () { zoom(1.2); },
      Home: function () { resetView(); }
    };
    if (!moves[event.key]) return;
    event.preventDefault();
    moves[event.key]();
  });

  function resetView() {
    camera = { yaw: home.yaw, pitch: home.pitch, target: home.target.slice(), distance: home.distance };
    redraw();
  }
  reset.addEventListener('click', function () { if (home) resetView(); });

  // Escape, anywhere but in a text field, lets go of what is picked.
  document.addEventListener('keydown', function (event) {
    if (event.key !== 'Escape' || !selection || event.target.closest('input, select, textarea')) return;
    select(null, false);
  });

  document.addEventListener('click', function (event) {
    if (!camera || section.contains(event.target)) return;
    if (event.target.closest('button, a, input, select, textarea, label')) return;
    selectEntry(event.target);
  });

  if (window.ResizeObserver) new ResizeObserver(redraw).observe(canvas);
  else window.addEventListener('resize', redraw);

  canvas.addEventListener('webglcontextlost', function (event) {
    event.preventDefault();
    camera = null;
    setState('failed', 'The graphics driver gave up the 3D view: reload the page to see it again.');
  });

  // ---------------------------------------------------------------------------------------
  // Start: the model comes in as a script of its own.

  function start(description) {
    var model = readGlb(decodeBase64(description.glb));
    parts = buildParts(model, description.parts || []);
    if (parts.length === 0) {
      setState('empty', 'This mesh file has no triangles to show.');
      return;
    }
    surface = program(VERTEX_SHADER, SURFACE_SHADER);
    pick = program(VERTEX_SHADER, PICK_SHADER);
    resolve = program(CORNER_SHADER, RESOLVE_SHADER);
    corners = upload(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]));
    gl.enableVertexAttribArray(0);
    gl.enableVertexAttribArray(1);
    resize();
    var framed = framing(parts, canvas.width / canvas.height);
    if (!framed) {
      setState('empty', 'This mesh file has no positions to show.');
      return;
    }
    radius = framed.radius;
    centre = framed.centre;
    home = framed.camera;
    resetView();
    showSelection(false);
    setState('ready');
    var triangles = parts.reduce(function (sum, part) { return sum + part.indexCount / 3; }, 0);
    // The coarse copy is made once the first frame is on the screen.
    setTimeout(function () {
      if (triangles > COARSE_FROM) {
        buildCoarse(framed.box);
        coarse = true;
      }
      parts.forEach(function (part) {
        delete part.positionData;
        delete part.objectOfVertex;
        delete part.indexData;
      });
    }, 0);
    window.meshGalleryView = {
      select: function (group, mesh, firstVertex) {
        if (group === null || group === undefined) return select(null, false);
        var entry = entryOf(group, mesh, firstVertex);
        if (entry) selectEntry(entry);
      },
      turn: function (dx, dy) { turn(dx || 0, dy || 0); },
      // Draws a frame now, as the view draws it in motion (`inMotion`) or at rest, and returns
      // the milliseconds until it was finished.
      drawNow: function (inMotion) {
        var begin = performance.now(), was = moving;
        moving = !!inMotion;
        draw();
        moving = was;
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));  // waits for the picture
        return performance.now() - begin;
      }
    };
  }

  var script = document.createElement('script');
  script.src = section.getAttribute('data-model');
  script.onload = function () {
    var description = window.meshGalleryModel;
    window.meshGalleryModel = undefined;
    try {
      if (!description || typeof description.glb !== 'string') throw new Error('the model script holds no model');
      start(description);
    } catch (e) {
      setState('failed', 'The 3D view cannot show this model: ' + e.message);
      console.error('meshgallery 3D view: ' + e.message);
    }
  };
  script.onerror = function () {
    setState('failed', 'The 3D model ' + script.getAttribute('src') + ' is missing: draw the gallery again.');
  };
  document.body.appendChild(script);
}());
