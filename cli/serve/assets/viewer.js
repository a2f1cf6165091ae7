// The help viewer: searches as the user types and shows the chosen page with
// the query's words marked. Every text that comes from the server or the user
// is placed with textContent, never parsed as markup.
'use strict';

const DEBOUNCE_MS = 150;
const STATUS_EVERY_MS = 15000;
const OPERATORS = new Set(['AND', 'OR', 'NOT', 'NEAR', 'TITLE', 'CONTAINS']);
const WORD_CHAR = '[\\p{L}\\p{N}_]';

const $ = (id) => document.getElementById(id);
const box = $('query');
const titles = $('titles');
const folder = $('folder');
const message = $('message');
const summary = $('summary');
const list = $('results');
const frame = $('page');
const footer = $('status');

let hits = [];
let selected = -1;
let timer = 0;
let pending = null;
let typedAt = 0;
let openedQuery = '';

function searchParams() {
  const params = new URLSearchParams({q: box.value.trim()});
  if (titles.checked) params.set('titles', '1');
  if (folder.value) params.set('dir', folder.value + '/');
  return params;
}

async function search() {
  const params = searchParams();
  const query = params.get('q');
  const startedAt = typedAt;
  const requestedAt = performance.now();
  if (pending) pending.abort();
  if (!query) {
    draw(query, {hits: [], total: 0, hidden: 0}, startedAt, requestedAt);
    return;
  }
  pending = new AbortController();
  let answer;
  try {
    const response = await fetch('/api/search?' + params, {signal: pending.signal});
    answer = await response.json();
  } catch (error) {
    if (error.name === 'AbortError') return;
    answer = {error: 'The help server did not answer: ' + error.message, column: 0};
  }
  draw(query, answer, startedAt, requestedAt);
}

function showError(query, answer) {
  // The query with a caret under the column the component names.
  let text = answer.error;
  if (answer.column > 0) {
    text += '\n' + query + '\n' + ' '.repeat(answer.column - 1) + '^';
  }
  message.textContent = text;
  message.hidden = false;
}

// Draws an answer and measures, once it is painted, the time from the last
// keystroke (debounce included) and from the request.
function draw(query, answer, startedAt, requestedAt) {
  hits = answer.hits || [];
  selected = -1;
  list.replaceChildren(...hits.map(resultItem));
  if (answer.error) {
    showError(query, answer);
    summary.textContent = '';
  } else {
    message.hidden = true;
    summary.textContent = summaryText(query, answer);
  }
  list.dataset.query = query;
  list.dataset.state = answer.error ? 'error' : 'done';
  requestAnimationFrame(() => setTimeout(() => {
    const paintedAt = performance.now();
    performance.measure('keystroke-to-results', {start: startedAt, end: paintedAt});
    performance.measure('request-to-results', {start: requestedAt, end: paintedAt});
  }));
}

function summaryText(query, answer) {
  if (!query) return '';
  if (answer.total === 0) {
    return answer.hidden > 0 ? `${answer.hidden} hits, all outside the folder` : 'No pages match';
  }
  const shown = answer.hits.length;
  const count = answer.total === 1 ? '1 hit' : `${answer.total} hits`;
  return shown < answer.total ? `${shown} of ${count} shown` : count;
}

function resultItem(hit, index) {
  const item = document.createElement('li');
  item.setAttribute('role', 'option');
  item.id = 'hit-' + index;
  const title = document.createElement('span');
  title.className = 'title';
  title.textContent = hit.title || hit.path;
  const score = document.createElement('span');
  score.className = 'score';
  score.textContent = hit.score;
  const path = document.createElement('span');
  path.className = 'path';
  path.textContent = hit.path;
  item.append(title, score, path);
  item.addEventListener('click', () => {
    select(index);
    open(index);
  });
  return item;
}

function select(index) {
  if (hits.length === 0) return;
  selected = Math.max(0, Math.min(index, hits.length - 1));
  for (const item of list.children) item.setAttribute('aria-selected', 'false');
  const item = list.children[selected];
  item.setAttribute('aria-selected', 'true');
  item.scrollIntoView({block: 'nearest'});
}

function helpAddress(path) {
  return '/help/' + path.split('/').map(encodeURIComponent).join('/');
}

function open(index) {
  const hit = hits[index];
  if (!hit) return;
  openedQuery = box.value;
  frame.src = helpAddress(hit.path);
}

// The query's words as patterns: operators and field names are left out,
// wildcards stand for word characters, and a plain word also matches the
// other forms of its stem, as the index's stemming does.
function wordPatterns(query) {
  const patterns = [];
  const words = query.replace(/<[^>]*>/g, ' ').match(/[\p{L}\p{N}_*?]+/gu) || [];
  for (const word of words) {
    if (OPERATORS.has(word) || !/[\p{L}\p{N}]/u.test(word)) continue;
    const escaped = word.replace(/[.+^${}()|[\]\\]/g, '\\$&');
    if (/[*?]/.test(word)) {
      patterns.push(escaped.replace(/\*/g, WORD_CHAR + '*').replace(/\?/g, WORD_CHAR));
    } else {
      const stem = word.length > 4 ? word.replace(/(ing|ed|es|s)$/i, '') : word;
      patterns.push(stem + WORD_CHAR + '*');
    }
  }
  return patterns;
}

function highlight(doc, query) {
  const patterns = wordPatterns(query);
  if (!doc || !doc.body || patterns.length === 0) return;
  const pattern = new RegExp(`(?<!${WORD_CHAR})(?:${patterns.join('|')})`, 'giu');
  const walker = doc.createTreeWalker(doc.body, NodeFilter.SHOW_TEXT, {
    acceptNode: (node) => /^(SCRIPT|STYLE|TEXTAREA)$/.test(node.parentNode.nodeName)
        ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
  });
  const nodes = [];
  while (walker.nextNode()) nodes.push(walker.currentNode);
  let first = null;
  for (const node of nodes) {
    const text = node.nodeValue;
    const pieces = [];
    let last = 0;
    for (const match of text.matchAll(pattern)) {
      if (match[0].length === 0) continue;
      pieces.push(doc.createTextNode(text.slice(last, match.index)));
      const mark = doc.createElement('mark');
      mark.className = 'zvv-hit';
      mark.textContent = match[0];
      pieces.push(mark);
      first = first || mark;
      last = match.index + match[0].length;
    }
    if (pieces.length === 0) continue;
    pieces.push(doc.createTextNode(text.slice(last)));
    node.replaceWith(...pieces);
  }
  if (first) first.scrollIntoView({block: 'center'});
}

frame.addEventListener('load', () => {
  let doc = null;
  try {
    doc = frame.contentDocument;
  } catch (error) {
    return;  // not one of this server's pages
  }
  if (openedQuery) highlight(doc, openedQuery);
  if (doc) doc.addEventListener('keydown', globalKeys);
  frame.dataset.loaded = frame.getAttribute('src') || '';
});

function scheduleSearch() {
  typedAt = performance.now();
  clearTimeout(timer);
  timer = setTimeout(search, DEBOUNCE_MS);
}

function searchNow() {
  typedAt = performance.now();
  clearTimeout(timer);
  search();
}

function boxKeys(event) {
  switch (event.key) {
    case 'ArrowDown':
      select(selected + 1);
      break;
    case 'ArrowUp':
      select(selected - 1);
      break;
    case 'Enter':
      if (selected < 0) select(0);
      open(selected);
      break;
    case 'Escape':
      if (box.value) {
        box.value = '';
        scheduleSearch();
      } else {
        box.blur();
      }
      break;
    default:
      return;
  }
  event.preventDefault();
}

function globalKeys(event) {
  const target = event.target;
  const typing = target && (target.isContentEditable || /^(INPUT|SELECT|TEXTAREA)$/.test(target.nodeName));
  if (event.key === '/' && !typing) {
    event.preventDefault();
    box.focus();
    box.select();
  }
}

async function refreshStatus() {
  try {
    const status = await (await fetch('/api/status')).json();
    const pages = status.pages === 1 ? '1 page' : `${status.pages} pages`;
    footer.textContent = status.updated
      ? `${pages} · index updated ${new Date(status.updated * 1000).toLocaleString()}`
      : 'no index yet';
    fillFolders(status.folders);
    if (!frame.getAttribute('src') && status.home) frame.src = helpAddress(status.home);
  } catch (error) {
    footer.textContent = 'The help server did not answer.';
  }
}

function fillFolders(folders) {
  const known = Array.from(folder.options, (option) => option.value);
  if (known.length === folders.length + 1 && folders.every((name, i) => known[i + 1] === name)) {
    return;
  }
  const chosen = folder.value;
  const options = folders.map((name) => {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = name;
    return option;
  });
  folder.replaceChildren(folder.options[0], ...options);
  folder.value = folders.includes(chosen) ? chosen : '';
}

$('search').addEventListener('submit', (event) => event.preventDefault());
box.addEventListener('input', scheduleSearch);
box.addEventListener('keydown', boxKeys);
titles.addEventListener('change', searchNow);
folder.addEventListener('change', searchNow);
document.addEventListener('keydown', globalKeys);
refreshStatus();
setInterval(refreshStatus, STATUS_EVERY_MS);
box.focus();
