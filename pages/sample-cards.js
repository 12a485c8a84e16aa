// The sample result pages are offline: item links open the local item page instead of the made-up site.
document.addEventListener("click", function (event) {
  var link = event.target.closest && event.target.closest('a[href*="/itm/"]');
  if (!link) return;
  event.preventDefault();
  window.location.href = "viewitem.htm";
});
