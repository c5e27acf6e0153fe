// Files in and out: a file chosen or dropped, and the result pane offered
// as a download.

const picker = document.getElementById('file-input');

// Resolves with the chosen File, or null when the chooser was cancelled.
export function chooseFile() {
  return new Promise((resolve) => {
    const done = (file) => {
      picker.removeEventListener('change', onChange);
      picker.removeEventListener('cancel', onCancel);
      picker.value = '';
      resolve(file);
    };
    const onChange = () => done(picker.files && picker.files.length > 0 ? picker.files[0] : null);
    const onCancel = () => done(null);
    picker.addEventListener('change', onChange);
    picker.addEventListener('cancel', onCancel);
    picker.click();
  });
}

// The first file of a drop as {name, bytes}; bytes null when it cannot be
// read; {tooLarge: true} beyond `largest` bytes, unread; null when the drop
// held no file.
export async function readDropped(transfer, largest) {
  if (!transfer || !transfer.files || transfer.files.length === 0) return null;
  const file = transfer.files[0];
  if (file.size > largest) return {name: file.name, tooLarge: true};
  try {
    return {name: file.name, bytes: await file.arrayBuffer()};
  } catch {
    return {name: file.name, bytes: null};
  }
}

// Offers `bytes` (or an array of pieces: bytes or strings, which the Blob
// writes as UTF-8) as a download named `name`.
export function download(name, bytes) {
  try {
    const parts = Array.isArray(bytes) ? bytes : [bytes];
    const url = URL.createObjectURL(new Blob(parts, {type: 'text/plain;charset=utf-8'}));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.hidden = true;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    return true;
  } catch {
    return false;
  }
}
