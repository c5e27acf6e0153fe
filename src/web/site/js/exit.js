// 文件 → 退出 in the page: the window's exit screen (the credits scrolling
// up over and over) with a line saying that closing the tab ends the
// program, which a page cannot do itself. A click or Esc returns to the page
// as it was, with the focus where it was.

export function showExitScreen(credits, note) {
  const screen = document.createElement('dialog');
  screen.className = 'exit-screen';
  screen.setAttribute('aria-label', '退出');
  const roll = document.createElement('div');
  roll.className = 'exit-credits';
  const text = document.createElement('p');
  text.textContent = credits;
  roll.append(text);
  const line = document.createElement('p');
  line.className = 'exit-note';
  line.textContent = note;
  screen.append(roll, line);
  document.body.append(screen);
  const before = document.activeElement;
  screen.addEventListener('click', () => screen.close());
  screen.addEventListener('close', () => {
    screen.remove();
    if (before && before.isConnected) before.focus();
  });
  screen.showModal();
  return screen;
}
